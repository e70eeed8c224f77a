#pragma once
// A POP3 server played from a script, on its own thread with blocking sockets, listening on a
// free loopback port for one client. It records every line the client sends. After the last
// step it stays silent and keeps recording until the client closes or the server is destroyed.

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Lock.h"
#include "tests/support/TestThread.h"

struct ServerStep {
    enum Kind { Send, SendByteByByte, ReadLine, Pause, Close, Reset } Kind;
    std::string Text;  // bytes to send, sent as they are (no line end added)
    int Milliseconds = 0;
};

inline ServerStep Send(std::string bytes) {
    return {ServerStep::Send, std::move(bytes)};
}
inline ServerStep SendByteByByte(std::string bytes) {
    return {ServerStep::SendByteByByte, std::move(bytes)};
}
inline ServerStep ReadLine() {
    return {ServerStep::ReadLine, {}};
}
inline ServerStep Pause(int ms) {
    return {ServerStep::Pause, {}, ms};
}
inline ServerStep Close() {
    return {ServerStep::Close, {}};
}
// Ends the connection with a reset instead of an orderly close.
inline ServerStep Reset() {
    return {ServerStep::Reset, {}};
}

// The greeting, then one reply after each client line; each reply gets CR LF.
std::vector<ServerStep> Dialogue(std::initializer_list<std::string> replies);

class ScriptedPop3Server {
public:
    explicit ScriptedPop3Server(std::vector<ServerStep> script);
    ~ScriptedPop3Server();
    ScriptedPop3Server(const ScriptedPop3Server&) = delete;
    ScriptedPop3Server& operator=(const ScriptedPop3Server&) = delete;

    std::uint16_t Port() const { return FPort; }
    // Lines received so far, without their line ends.
    std::vector<std::string> Received() const;
    // Waits (at most the given time) until the client has closed its end.
    bool WaitForClientClose(int milliseconds) const;
    // GetTickCount when the client's connection was accepted; 0 while none was.
    DWORD AcceptedAt() const { return FAcceptedAt; }

private:
    void Serve(std::vector<ServerStep> script);
    // Waits until the socket is readable or the server stops; false when it stops.
    bool WaitReadable(SOCKET s) const;
    bool ReadOneLine(SOCKET s);

    SOCKET FListener = INVALID_SOCKET;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FClientClosed{false};
    std::atomic<DWORD> FAcceptedAt{0};
    mutable TLock FLock;
    std::vector<std::string> FReceived;
    std::string FPending;  // bytes of a line not yet complete
    TTestThread FThread;
};

// A loopback port on which nothing listens: connections to it are refused.
std::uint16_t ClosedLoopbackPort();
