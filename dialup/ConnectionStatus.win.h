#pragma once
// The connection status poller: a thread that asks the dial-up service whether a connection is
// up every ten seconds and reports each change through two callbacks that run on the poller's
// thread. The state when it starts is taken before its thread runs and is not reported. The
// process-wide operations below are the rest of the program's way to it; they do nothing (or
// answer false) while no poller runs, which is whenever dial-up is not chosen.

#include <windows.h>

#include <atomic>
#include <functional>

#include "dialup/ConnectionMonitor.h"
#include "dialup/RasBinding.win.h"
#include "framework/Thread.win.h"

constexpr DWORD ConnectionPollPeriod = 10000;

// The poller's body; TConnectionPoller is the poller.
class TConnectionStatus {
public:
    // Creates its TRAS over the binding's entry points and takes the state now. The binding
    // must outlive the poller.
    explicit TConnectionStatus(const TRasBinding& binding = RasBinding,
                               DWORD pollPeriod = ConnectionPollPeriod);

    TConnectionMonitor& Monitor() { return FMonitor; }
    // From a callback, on the poller's thread: TThread::HandOver of the poller's thread.
    bool HandOver(std::function<void()> action);

    void Execute(TThread& thread);

private:
    TConnectionMonitor FMonitor;
    const DWORD PollPeriod;
    std::atomic<TThread*> FThread{nullptr};
};

using TConnectionPoller = TThreadOf<TConnectionStatus>;

// Creates the one poller over RasBinding unless it runs. On the user-interface thread.
void StartConnectionStatus(DWORD pollPeriod = ConnectionPollPeriod);
// Stops the poller at once and joins its thread (which ends a hand-over it waits in), then
// destroys it. From then on the operations below do nothing. Before what the callbacks reach is
// released and before UnbindRasLibrary.
void StopConnectionStatus();

// The operations of the rest of the program; for the user-interface thread and the callbacks.
void SetConnectedCallback(TConnectionCallback callback);
void SetDisconnectedCallback(TConnectionCallback callback);
// Asks the service now, on the calling thread; false while no poller runs.
bool DialUpConnected();
