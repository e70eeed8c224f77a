#include "app/CheckTriggers.win.h"

#include "app/CheckInterval.h"
#include "app/MailboxChecks.h"
#include "app/MainForm.win.h"
#include "app/NetworkWatch.win.h"
#include "framework/Application.win.h"
#include "settings/AppProperties.h"
#include "tray/TrayStatus.win.h"

void TPeriodicCheck::Execute(TThread& thread) {
    for (;;) {
        thread.SleepUnlessTerminated(static_cast<DWORD>(Interval));
        if (thread.Terminated()) return;
        // Not this: the check may end the thread.
        TMailboxChecks* checks = &Checks;
        const std::size_t mailbox = Mailbox;
        thread.HandOver([checks, mailbox] { checks->CheckMailbox(mailbox, false); });
    }
}

TCheckTriggers::TCheckTriggers(TAppProperties& settings, TMailboxChecks& checks)
    : Settings(settings), Checks(checks) {}

TCheckTriggers::~TCheckTriggers() {
    WatchNetwork(false);
    UnwireConnectionEvents();
    StopConnectionStatus();
    StopTimedCheck();
}

void TCheckTriggers::Connected() {
    // A request already queued when the events were unwired finds nothing to do.
    if (!Wired) return;
    Checks.CheckMail(false);
    if (Wired && Settings.UseDialUpNetworking() && Settings.RepeatMailCheck()) StartTimedChecks();
}

void TCheckTriggers::Disconnected() {
    if (!Wired || !Settings.UseDialUpNetworking()) return;
    StopTimedCheck();
    SetMailWaiting(false);
}

void TCheckTriggers::ApplyCheckSettings() {
    Checks.SetMailboxCount(Settings.MailboxCount());
    WatchNetwork(!Settings.UseDialUpNetworking());
    if (Settings.UseDialUpNetworking()) {
        StartConnectionStatus(PollPeriod);
        WireConnectionEvents();
        if (!DialUpConnected()) {
            StopTimedCheck();
            return;
        }
    } else {
        UnwireConnectionEvents();
        StopConnectionStatus();
    }
    if (Settings.RepeatMailCheck())
        StartTimedChecks();
    else
        StopTimedCheck();
    Checks.CheckMail(false);
}

void TCheckTriggers::StartTimedChecks() {
    StopTimedCheck();
    for (std::size_t i = 0; i < Checks.Count(); ++i) {
        FTimedChecks.push_back(
            std::make_unique<TTimedCheck>(Checks, i, TimedCheckInterval(Settings.IntervalOf(i))));
    }
}

void TCheckTriggers::StartTimedCheckInterval(std::int32_t milliseconds) {
    StopTimedCheck();
    for (std::size_t i = 0; i < Checks.Count(); ++i)
        FTimedChecks.push_back(std::make_unique<TTimedCheck>(Checks, i, milliseconds));
}

void TCheckTriggers::StopTimedCheck() {
    std::vector<std::unique_ptr<TTimedCheck>> stopping = std::move(FTimedChecks);
    FTimedChecks.clear();
    // All woken first, so that they end together.
    for (const auto& thread : stopping) thread->Terminate();
    stopping.clear();
}

void TCheckTriggers::WireConnectionEvents() {
    SetConnectedCallback([this](TConnectionStatus* sender) {
        sender->HandOver([this] { Connected(); });
    });
    SetDisconnectedCallback([this](TConnectionStatus* sender) {
        sender->HandOver([this] { Disconnected(); });
    });
    Wired = true;
}

void TCheckTriggers::UnwireConnectionEvents() {
    Wired = false;
    SetConnectedCallback(nullptr);
    SetDisconnectedCallback(nullptr);
}

// The system's callback posts a message to the main form's window rather than a work item: a
// message to a window that is gone is simply dropped, whatever the order of the end.
void TCheckTriggers::WatchNetwork(bool watch) {
    if (!watch) {
        NetworkWatch.reset();
    } else if (!NetworkWatch && Application.MainForm()) {
        NetworkWatch = std::make_unique<TNetworkWatch>(Application.MainForm()->Handle(),
                                                       WM_NETWORKCHANGED);
    }
}
