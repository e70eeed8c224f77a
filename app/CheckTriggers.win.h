#pragma once
// The checks nobody asked for: once when the settings take effect, every mailbox every N of its
// minutes (TTimedCheck), when a dial-up connection comes up, and on a direct connection after a
// resume or a change of the network (which the main form hears). The dial-up poller hands each
// request to the user-interface thread (TThread::HandOver) and waits until it is over or it is
// stopped, so every check, the tray and the triggers' state stay on the user-interface thread. The
// poller runs only while dial-up is chosen.

#include <cstdint>
#include <memory>
#include <vector>

#include "app/TimedCheck.win.h"
#include "dialup/ConnectionStatus.win.h"

class TAppProperties;
class TMailboxChecks;
class TNetworkWatch;

// Everything here runs on the user-interface thread.
class TCheckTriggers {
public:
    TCheckTriggers(TAppProperties& settings, TMailboxChecks& checks);
    // Unwires and stops the poller and the periodic checks.
    ~TCheckTriggers();
    TCheckTriggers(const TCheckTriggers&) = delete;
    TCheckTriggers& operator=(const TCheckTriggers&) = delete;

    // Puts the list of mailboxes, "Use Dial-up Networking" and the repeat settings into effect
    // (the poller runs with dial-up only), and checks every mailbox unless the program waits
    // for a dial-up connection.
    void ApplyCheckSettings();
    // Restarts the periodic checks with each mailbox's interval.
    void StartTimedChecks();
    // The same with one interval in milliseconds for all; the tests' way to short periods.
    void StartTimedCheckInterval(std::int32_t milliseconds);
    void StopTimedCheck();
    // The periodic checks, or null while there are none.
    const TTimedCheck* TimedCheck() const { return FTimedCheck.get(); }

    // The poller's period from its next start; the tests' way to short polls.
    DWORD PollPeriod = ConnectionPollPeriod;

private:
    // The poller's callbacks, on its thread: they hand their work over. A connection that comes
    // up is checked at once, and the periodic checks start after that check; a connection that
    // goes down stops it and shows the no-mail picture.
    void WireConnectionEvents();
    void UnwireConnectionEvents();
    void Connected();
    void Disconnected();
    // On a direct connection the changes of the network reach the main form.
    void WatchNetwork(bool watch);

    TAppProperties& Settings;
    TMailboxChecks& Checks;
    std::unique_ptr<TTimedCheck> FTimedCheck;
    bool Wired = false;
    std::unique_ptr<TNetworkWatch> NetworkWatch;
};
