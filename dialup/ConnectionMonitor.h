#pragma once
// The connection status poller apart from its thread: one poll at a time compares the service's
// answer with the state seen at the previous poll and reports a change through the callback
// pair. Safe to use from several threads: one lock guards every use of the TRAS, another the
// callback pair, and neither is held while a callback runs (a callback may ask Connected or
// replace the callbacks).

#include <functional>
#include <memory>
#include <mutex>

#include "dialup/Rascomp32.h"
#include "framework/Lock.h"

class TConnectionStatus;
// Called with the poller as the sender.
using TConnectionCallback = std::function<void(TConnectionStatus* Sender)>;

class TConnectionMonitor {
public:
    TConnectionMonitor(std::unique_ptr<TRAS> ras, TConnectionStatus* sender);

    // One poll: OnConnected when a connection came up since the previous poll, OnDisconnected
    // when the last one went down. The new state is recorded even when no callback is set, so a
    // change seen then is never reported later.
    void Poll();
    // Whether a connection is up, asked now on the calling thread.
    bool Connected();
    // An empty callback clears it. A call of the previous callback already under way on the
    // polling thread may still finish after these return.
    void SetOnConnected(TConnectionCallback callback);
    void SetOnDisconnected(TConnectionCallback callback);

private:
    TLock RasLock;
    std::unique_ptr<TRAS> RAS;
    // Touched by one poll at a time: the poller's first on the thread that makes it, before its
    // own thread starts, then only by that thread.
    bool LastConnected = false;

    TLock EventLock;
    TConnectionCallback OnConnected, OnDisconnected;
    TConnectionStatus* const Sender;
};
