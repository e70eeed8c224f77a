#pragma once
// The connection status poller: a thread that asks the dial-up service whether a connection is
// up, at once and then every ten seconds, and reports each change through two callbacks that
// run on the poller's thread. The process-wide operations below are the rest of the program's
// way to it; they do nothing (or answer false) while no poller runs.

#include <windows.h>

#include "dialup/ConnectionMonitor.h"
#include "dialup/RasBinding.win.h"
#include "framework/Thread.win.h"

constexpr DWORD ConnectionPollPeriod = 10000;

class TConnectionStatus final : public TThread {
public:
    // Creates its TRAS over the binding's entry points and starts polling. The binding must
    // outlive the poller.
    explicit TConnectionStatus(const TRasBinding& binding = RasBinding,
                               DWORD pollPeriod = ConnectionPollPeriod);
    // Stops the thread and waits for it (see TThread::WaitFor).
    ~TConnectionStatus() override;

    TConnectionMonitor& Monitor() { return FMonitor; }

protected:
    void Execute() override;

private:
    TConnectionMonitor FMonitor;
    const DWORD PollPeriod;
};

// Creates the one poller, ConnectionStatus, over RasBinding. At start-up, after BindRasLibrary.
void StartConnectionStatus(DWORD pollPeriod = ConnectionPollPeriod);
// Stops the poller at once and waits for its thread, answering messages sent to the calling
// thread meanwhile, then destroys it. From then on the operations below do nothing. At program
// end, before what the callbacks reach is released and before UnbindRasLibrary.
void StopConnectionStatus();

// The operations of the rest of the program; for the user-interface thread and the callbacks.
void SetConnectedCallback(TConnectionCallback callback);
void SetDisconnectedCallback(TConnectionCallback callback);
bool DialUpAvailable();
// Asks the service now, on the calling thread.
bool DialUpConnected();
