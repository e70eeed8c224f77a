#pragma once
// The checks nobody asked for: once when the settings take effect, every mailbox every N of its
// minutes on a periodic thread of its own, when a dial-up connection comes up, and on a direct
// connection after a resume or a change of the network (which the main form hears). The periodic
// thread and the dial-up poller hand each request to the user-interface thread (TThread::HandOver)
// and wait until it is over or they are stopped, so the period runs from the end of one check (or
// of its request, when it waits for another mailbox's) to the start of the next, and every check,
// the tray and the triggers' state stay on the user-interface thread. The poller runs only while
// dial-up is chosen.

#include <cstdint>
#include <memory>
#include <vector>

#include "dialup/ConnectionStatus.win.h"
#include "framework/Thread.win.h"

class TAppProperties;
class TMailboxChecks;
class TNetworkWatch;

// The periodic thread's body: one thread for all mailboxes, as every thread costs memory. A
// mailbox's check is due its interval after its last one ended; the thread sleeps until the first
// due, hands that check over and waits until it is over; again until it is stopped. A stop wakes
// it at once, and a stopped thread never checks.
class TPeriodicCheck {
public:
    TPeriodicCheck(TMailboxChecks& checks, std::vector<std::int32_t> intervals)
        : Intervals(std::move(intervals)), Checks(checks) {}

    // Milliseconds, one per mailbox.
    const std::vector<std::int32_t> Intervals;

    void Execute(TThread& thread);

private:
    TMailboxChecks& Checks;
};

using TTimedCheck = TThreadOf<TPeriodicCheck>;

// Everything here runs on the user-interface thread.
class TCheckTriggers {
public:
    TCheckTriggers(TAppProperties& settings, TMailboxChecks& checks);
    // Unwires and stops the poller and the periodic thread.
    ~TCheckTriggers();
    TCheckTriggers(const TCheckTriggers&) = delete;
    TCheckTriggers& operator=(const TCheckTriggers&) = delete;

    // Puts the list of mailboxes, "Use Dial-up Networking" and the repeat settings into effect
    // (the poller runs with dial-up only), and checks every mailbox unless the program waits
    // for a dial-up connection.
    void ApplyCheckSettings();
    // Replaces the periodic thread by one with each mailbox's interval.
    void StartTimedChecks();
    // The same with one interval in milliseconds for all; the tests' way to short periods.
    void StartTimedCheckInterval(std::int32_t milliseconds);
    // Stops the periodic thread and joins it. The thread is taken out first, so whatever runs
    // meanwhile finds none to stop or replace.
    void StopTimedCheck();
    // The periodic thread, or null.
    const TTimedCheck* TimedCheck() const { return FTimedCheck.get(); }

    // The poller's period from its next start; the tests' way to short polls.
    DWORD PollPeriod = ConnectionPollPeriod;

private:
    // The poller's callbacks, on its thread: they hand their work over. A connection that comes
    // up is checked at once, and the periodic thread starts after that check; a connection that
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
