#include "app/CheckTriggers.win.h"

#include "app/CheckInterval.h"
#include "app/MailboxChecks.h"
#include "app/MainForm.win.h"
#include "app/NetworkWatch.win.h"
#include "framework/Application.win.h"
#include "settings/AppProperties.h"
#include "tray/TrayStatus.win.h"

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
    std::vector<std::int32_t> intervals;
    for (std::size_t i = 0; i < Checks.Count(); ++i)
        intervals.push_back(TimedCheckInterval(Settings.IntervalOf(i)));
    StopTimedCheck();
    FTimedCheck = std::make_unique<TTimedCheck>(Checks, std::move(intervals));
}

void TCheckTriggers::StartTimedCheckInterval(std::int32_t milliseconds) {
    StopTimedCheck();
    FTimedCheck = std::make_unique<TTimedCheck>(
        Checks, std::vector<std::int32_t>(Checks.Count(), milliseconds));
}

void TCheckTriggers::StopTimedCheck() { FTimedCheck.reset(); }

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
