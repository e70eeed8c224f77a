#pragma once
// The checks nobody asked for: once when the settings take effect, every N minutes on the
// periodic thread, when a dial-up connection comes up, and on a direct connection after a
// resume or a change of the network (which the main form hears). The periodic thread and the dial-up
// poller hand each request to the user-interface thread (TThread::HandOver) and wait until it is
// over or they are stopped, so the period runs from the end of one check to the start of the
// next, and every check, the tray and the triggers' state stay on the user-interface thread.
// The poller runs only while dial-up is chosen.

#include <cstdint>
#include <memory>

#include "dialup/ConnectionStatus.win.h"
#include "framework/Thread.win.h"

class TAppProperties;
class TMailStatus;
class TNetworkWatch;

// The periodic thread's body: sleeps Interval milliseconds, then hands CheckMail(false) over;
// again until it is stopped. A stop wakes it at once, and a stopped thread never checks.
class TPeriodicCheck {
public:
    TPeriodicCheck(TMailStatus& status, std::int32_t interval)
        : Interval(interval), Status(status) {}

    const std::int32_t Interval;

    void Execute(TThread& thread);

private:
    TMailStatus& Status;
};

using TTimedCheck = TThreadOf<TPeriodicCheck>;

// Everything here runs on the user-interface thread.
class TCheckTriggers {
public:
    TCheckTriggers(TAppProperties& settings, TMailStatus& status);
    // Unwires and stops the poller and the periodic thread.
    ~TCheckTriggers();
    TCheckTriggers(const TCheckTriggers&) = delete;
    TCheckTriggers& operator=(const TCheckTriggers&) = delete;

    // Puts "Use Dial-up Networking" and the repeat settings into effect (the poller runs with
    // dial-up only), and checks unless the program waits for a dial-up connection.
    void ApplyCheckSettings();
    // Replaces the periodic thread by one with the interval for these minutes.
    void StartTimedCheck(std::int32_t minutes);
    // The same with the interval in milliseconds; the tests' way to short periods.
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
    // goes down stops the periodic thread and shows the no-mail picture.
    void WireConnectionEvents();
    void UnwireConnectionEvents();
    void Connected();
    void Disconnected();
    // On a direct connection the changes of the network reach the main form.
    void WatchNetwork(bool watch);

    TAppProperties& Settings;
    TMailStatus& Status;
    std::unique_ptr<TTimedCheck> FTimedCheck;
    bool Wired = false;
    std::unique_ptr<TNetworkWatch> NetworkWatch;
};
