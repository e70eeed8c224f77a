#include "dialup/ConnectionStatus.win.h"

#include <memory>
#include <mutex>

#include "framework/Application.win.h"
#include "framework/Lock.h"

namespace {

// Null while no poller runs; owned by Start/StopConnectionStatus. The lock is held by every
// operation that uses the poller, so that none of them meets a poller that StopConnectionStatus
// is destroying; it is never held while the poller's thread is joined.
TLock ConnectionStatusLock;
TConnectionPoller* ConnectionStatus = nullptr;

std::unique_ptr<TRAS> CreateRAS(const TRasBinding& binding) {
    return std::make_unique<TRAS>(binding.Api(), RegisterWindowMessageA("RASDialEvent"));
}

}  // namespace

TConnectionStatus::TConnectionStatus(const TRasBinding& binding, DWORD pollPeriod)
    : FMonitor(CreateRAS(binding), this), PollPeriod(pollPeriod) {
    // No callback is set yet: this records the state, so a connection already up when the
    // poller starts is not reported as one coming up.
    FMonitor.Poll();
}

bool TConnectionStatus::HandOver(std::function<void()> action) {
    TThread* thread = FThread.load();
    return thread && thread->HandOver(std::move(action));
}

void TConnectionStatus::Execute(TThread& thread) {
    FThread = &thread;
    for (;;) {
        thread.SleepUnlessTerminated(PollPeriod);
        if (thread.Terminated()) return;
        // A callback that fails is reported like any other failure; the polls go on.
        try {
            FMonitor.Poll();
        } catch (...) {
            Application.ReportException(std::current_exception());
        }
    }
}

void StartConnectionStatus(DWORD pollPeriod) {
    std::lock_guard<TLock> lock(ConnectionStatusLock);
    if (!ConnectionStatus) ConnectionStatus = new TConnectionPoller(RasBinding, pollPeriod);
}

void StopConnectionStatus() {
    std::unique_ptr<TConnectionPoller> poller;
    {
        // Unpublished first, so that a callback still running meets no poller.
        std::lock_guard<TLock> lock(ConnectionStatusLock);
        poller.reset(ConnectionStatus);
        ConnectionStatus = nullptr;
    }
}

void SetConnectedCallback(TConnectionCallback callback) {
    std::lock_guard<TLock> lock(ConnectionStatusLock);
    if (ConnectionStatus) ConnectionStatus->Monitor().SetOnConnected(std::move(callback));
}

void SetDisconnectedCallback(TConnectionCallback callback) {
    std::lock_guard<TLock> lock(ConnectionStatusLock);
    if (ConnectionStatus) ConnectionStatus->Monitor().SetOnDisconnected(std::move(callback));
}

bool DialUpConnected() {
    std::lock_guard<TLock> lock(ConnectionStatusLock);
    return ConnectionStatus && ConnectionStatus->Monitor().Connected();
}
