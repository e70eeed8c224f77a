#pragma once
// The checks nobody asked for: once when the settings take effect, every N minutes on the
// periodic thread, and when a dial-up connection comes up. The periodic thread and the dial-up
// poller hand each request to the user-interface thread (TApplication::Synchronize) and wait
// until it is over, so the period runs from the end of one check to the start of the next, and
// every check, the tray and TimedCheck stay on the user-interface thread.

#include <cstdint>
#include <memory>

#include "dialup/ConnectionStatus.win.h"
#include "framework/Thread.win.h"

// The periodic thread: sleeps Interval milliseconds, then hands CheckMail(false) over; again
// until it is stopped. A stop wakes it at once, and a stopped thread never checks.
class TTimedCheck final : public TThread {
public:
    // Starts at once.
    explicit TTimedCheck(std::int32_t interval);
    ~TTimedCheck() override;

    const std::int32_t Interval;

protected:
    void Execute() override;
};

// The poller's callbacks: a connection that comes up is checked at once, and the periodic
// thread starts after that check; a connection that goes down stops the periodic thread and
// shows the no-mail picture. Both run on the poller's thread and hand their work over.
class TConnectionEvent {
public:
    void HandleConnected(TConnectionStatus* Sender);
    void HandleDisconnected(TConnectionStatus* Sender);
};

// The following run on the user-interface thread.

// Puts "Use Dial-up Networking" and the repeat settings into effect, and checks unless the
// program waits for a dial-up connection.
void ApplyCheckSettings();
// Replaces the periodic thread by one with the interval for these minutes (TimedCheckInterval).
void StartTimedCheck(std::int32_t minutes);
// The same with the interval in milliseconds; the tests' way to short periods.
void StartTimedCheckInterval(std::int32_t milliseconds);
// Stops the periodic thread; it is joined unless its request is being served further up this
// thread's stack, and then later.
void StopTimedCheck();
// The periodic thread, or null.
const TTimedCheck* TimedCheck();
// Installs ConnectionEvent's handlers as the poller's callbacks, or clears them.
void WireConnectionEvents();
void UnwireConnectionEvents();
// At program end: unwires, stops every periodic thread and joins it. One whose request this
// thread is serving (the end of the logon came during a periodic check) is left to the end of
// the process, which follows.
void StopCheckTriggers();
