#include "app/CheckTriggers.win.h"

#include <vector>

#include "app/CheckInterval.h"
#include "app/MainForm.win.h"
#include "app/NetworkWatch.win.h"
#include "app/Program.win.h"
#include "framework/Application.win.h"
#include "tray/TrayStatus.win.h"

namespace {

std::unique_ptr<TTimedCheck> FTimedCheck;
// Stopped threads whose request was on the stack when they were stopped; joined once ended.
std::vector<std::unique_ptr<TTimedCheck>> Stopped;
bool Wired = false;
// On a direct connection: changes of the network reach the main form.
std::unique_ptr<TNetworkWatch> NetworkWatch;

void WatchNetwork(bool watch) {
    if (!watch) {
        NetworkWatch.reset();
    } else if (!NetworkWatch && Application.MainForm()) {
        NetworkWatch = std::make_unique<TNetworkWatch>(Application.MainForm()->Handle(),
                                                       WM_NETWORKCHANGED);
    }
}

void JoinEndedThreads() {
    for (auto it = Stopped.begin(); it != Stopped.end();)
        it = (*it)->WaitFor(0) ? Stopped.erase(it) : it + 1;
}

}  // namespace

TTimedCheck::TTimedCheck(std::int32_t interval) : Interval(interval) { Start(); }

TTimedCheck::~TTimedCheck() {
    Terminate();
    WaitFor();
}

void TTimedCheck::Execute() {
    while (!Terminated()) {
        SleepUnlessTerminated(static_cast<DWORD>(Interval));
        if (Terminated()) break;
        // Tested again where the request runs: a stop may come while it waits to be served.
        Application.Synchronize([this] {
            if (!Terminated()) MailStatus->CheckMail(false);
        });
    }
}

void TConnectionEvent::HandleConnected(TConnectionStatus*) {
    Application.Synchronize([] {
        // A callback already under way when the events were unwired finds nothing to do.
        if (!Wired) return;
        MailStatus->CheckMail(false);
        if (Wired && AppProperties->UseDialUpNetworking() && AppProperties->RepeatMailCheck())
            StartTimedCheck(AppProperties->RepeatMailInterval());
    });
}

void TConnectionEvent::HandleDisconnected(TConnectionStatus*) {
    Application.Synchronize([] {
        if (!Wired || !AppProperties->UseDialUpNetworking()) return;
        StopTimedCheck();
        SetMailWaiting(false);
    });
}

void ApplyCheckSettings() {
    WatchNetwork(!AppProperties->UseDialUpNetworking());
    if (AppProperties->UseDialUpNetworking()) {
        WireConnectionEvents();
        if (!DialUpConnected()) {
            StopTimedCheck();
            return;
        }
    } else {
        UnwireConnectionEvents();
    }
    if (AppProperties->RepeatMailCheck())
        StartTimedCheck(AppProperties->RepeatMailInterval());
    else
        StopTimedCheck();
    MailStatus->CheckMail(false);
}

void StartTimedCheck(std::int32_t minutes) { StartTimedCheckInterval(TimedCheckInterval(minutes)); }

void StartTimedCheckInterval(std::int32_t milliseconds) {
    StopTimedCheck();
    JoinEndedThreads();
    FTimedCheck = std::make_unique<TTimedCheck>(milliseconds);
}

void StopTimedCheck() {
    if (!FTimedCheck) return;
    FTimedCheck->Terminate();
    // Woken, it ends at once, unless its request is being served further up this stack.
    if (!FTimedCheck->WaitFor()) Stopped.push_back(std::move(FTimedCheck));
    FTimedCheck.reset();
}

const TTimedCheck* TimedCheck() { return FTimedCheck.get(); }

void WireConnectionEvents() {
    TConnectionEvent* receiver = ConnectionEvent.get();
    SetConnectedCallback([receiver](TConnectionStatus* sender) { receiver->HandleConnected(sender); });
    SetDisconnectedCallback(
        [receiver](TConnectionStatus* sender) { receiver->HandleDisconnected(sender); });
    Wired = true;
}

void UnwireConnectionEvents() {
    Wired = false;
    SetConnectedCallback(nullptr);
    SetDisconnectedCallback(nullptr);
}

void StopCheckTriggers() {
    WatchNetwork(false);
    UnwireConnectionEvents();
    StopTimedCheck();
    for (auto& thread : Stopped)
        if (!thread->WaitFor()) thread.release();  // its request is on this stack
    Stopped.clear();
}
