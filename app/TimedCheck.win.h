#pragma once
// The periodic checks: a timer of the user-interface thread rather than a thread of their own.
// Under Wine every thread keeps about 1 MB of private memory however idle it is, which was a
// quarter of an idle Larkspur; a timer costs nothing between its ticks, on Windows as under Wine.
//
// Each mailbox's check is due its interval after its last one ended (or after its request, when
// it waited for another mailbox's). A tick hands the first due check to the work queue, so that it
// runs as every other trigger's check does and not inside the timer window's procedure; the timer
// is armed again for the next one once that check is over. The object may go at any time, even
// during its own check: a check it handed over and that has not yet begun then never begins.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/NotifyWindow.win.h"

class TMailboxChecks;

class TTimedCheck {
public:
    // Starts at once: each mailbox's first check comes one interval from now. Raises EOSError
    // when the timer cannot be made.
    TTimedCheck(TMailboxChecks& checks, std::vector<std::int32_t> intervals);
    ~TTimedCheck();
    TTimedCheck(const TTimedCheck&) = delete;
    TTimedCheck& operator=(const TTimedCheck&) = delete;

    // Milliseconds, one per mailbox.
    const std::vector<std::int32_t> Intervals;

private:
    // Sets the timer to the first due check.
    void Arm();
    std::size_t FirstDue() const;
    void HandOverFirstDue();
    void Checked(std::size_t mailbox);

    TMailboxChecks& Checks;
    std::vector<DWORD> DueAt;  // tick counts wrap around: only their differences are compared
    // What a handed-over check finds of this object: itself, or null once it has gone.
    std::shared_ptr<TTimedCheck*> Self;
    TNotifyWindow Timer;
};
