#include "app/CheckTriggers.win.h"

#include "app/CheckInterval.h"
#include "app/MailCheck.h"
#include "app/MainForm.win.h"
#include "app/NetworkWatch.win.h"
#include "framework/Application.win.h"
#include "settings/AppProperties.h"
#include "tray/TrayStatus.win.h"

void TPeriodicCheck::Execute(TThread& thread) {
    for (;;) {
        thread.SleepUnlessTerminated(static_cast<DWORD>(Interval));
        if (thread.Terminated()) return;
        TMailStatus* status = &Status;  // not this: the check may end the thread
        thread.HandOver([status] { status->CheckMail(false); });
    }
}

TCheckTriggers::TCheckTriggers(TAppProperties& settings, TMailStatus& status)
    : Settings(settings), Status(status) {}

TCheckTriggers::~TCheckTriggers() {
    WatchNetwork(false);
    UnwireConnectionEvents();
    StopConnectionStatus();
    StopTimedCheck();
}

void TCheckTriggers::Connected() {
    // A request already queued when the events were unwired finds nothing to do.
    if (!Wired) return;
    Status.CheckMail(false);
    if (Wired && Settings.UseDialUpNetworking() && Settings.RepeatMailCheck())
        StartTimedCheck(Settings.RepeatMailInterval());
}

void TCheckTriggers::Disconnected() {
    if (!Wired || !Settings.UseDialUpNetworking()) return;
    StopTimedCheck();
    SetMailWaiting(false);
}

void TCheckTriggers::ApplyCheckSettings() {
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
        StartTimedCheck(Settings.RepeatMailInterval());
    else
        StopTimedCheck();
    Status.CheckMail(false);
}

void TCheckTriggers::StartTimedCheck(std::int32_t minutes) {
    StartTimedCheckInterval(TimedCheckInterval(minutes));
}

void TCheckTriggers::StartTimedCheckInterval(std::int32_t milliseconds) {
    StopTimedCheck();
    FTimedCheck = std::make_unique<TTimedCheck>(Status, milliseconds);
}

void TCheckTriggers::StopTimedCheck() {
    std::unique_ptr<TTimedCheck> stopping = std::move(FTimedCheck);
    stopping.reset();
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
