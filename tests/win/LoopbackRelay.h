#pragma once
// A relay between one client and a server on 127.0.0.1, on a free loopback port of its own,
// on a thread of its own. It records every byte the client sends, and can hand the server's
// bytes to the client one at a time, each in a segment of its own.

#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "framework/Lock.h"
#include "tests/support/TestThread.h"

class LoopbackRelay {
public:
    enum Pieces { AsTheyCome, OneByteAtATime };

    LoopbackRelay(std::uint16_t serverPort, Pieces pieces = AsTheyCome);
    ~LoopbackRelay();
    LoopbackRelay(const LoopbackRelay&) = delete;
    LoopbackRelay& operator=(const LoopbackRelay&) = delete;

    std::uint16_t Port() const { return FPort; }
    // What the client has sent so far.
    std::string ClientBytes() const;

private:
    void Serve(std::uint16_t serverPort, Pieces pieces);

    SOCKET FListener = INVALID_SOCKET;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    mutable TLock FLock;
    std::string FClientBytes;
    TTestThread FThread;
};
