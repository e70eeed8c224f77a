#include "app/TimedCheck.win.h"

#include "app/MailboxChecks.h"
#include "framework/Application.win.h"

TTimedCheck::TTimedCheck(TMailboxChecks& checks, std::vector<std::int32_t> intervals)
    : Intervals(std::move(intervals)),
      Checks(checks),
      Self(std::make_shared<TTimedCheck*>(this)),
      Timer(nullptr, [this] { HandOverFirstDue(); }) {
    const DWORD now = GetTickCount();
    for (const std::int32_t interval : Intervals) DueAt.push_back(now + static_cast<DWORD>(interval));
    Arm();
}

TTimedCheck::~TTimedCheck() { *Self = nullptr; }

std::size_t TTimedCheck::FirstDue() const {
    std::size_t first = 0;
    for (std::size_t i = 1; i < DueAt.size(); ++i)
        if (static_cast<std::int32_t>(DueAt[i] - DueAt[first]) < 0) first = i;
    return first;
}

void TTimedCheck::Arm() {
    if (DueAt.empty()) return;
    const auto left = static_cast<std::int32_t>(DueAt[FirstDue()] - GetTickCount());
    Timer.StartTimer(left > 0 ? static_cast<UINT>(left) : 0);
}

void TTimedCheck::HandOverFirstDue() {
    Timer.StopTimer();
    const std::size_t mailbox = FirstDue();
    Application.Post([self = Self, mailbox] {
        if (!*self) return;
        (*self)->Checks.CheckMailbox(mailbox, false);
        if (*self) (*self)->Checked(mailbox);
    });
}

void TTimedCheck::Checked(std::size_t mailbox) {
    DueAt[mailbox] = GetTickCount() + static_cast<DWORD>(Intervals[mailbox]);
    Arm();
}
