#include "dialup/ConnectionStatus.win.h"

#include <mutex>

#include "framework/Application.win.h"

namespace {

// Null before start-up and once the poller has been stopped; owned by Start/StopConnectionStatus.
// The lock is held by every operation that uses the poller, so that none of them meets a poller
// that StopConnectionStatus is destroying; it is never held while the poller's thread is joined.
std::mutex ConnectionStatusLock;
TConnectionStatus* ConnectionStatus = nullptr;

std::unique_ptr<TRAS> CreateRAS(const TRasBinding& binding) {
    return std::make_unique<TRAS>(binding.Api(), RegisterWindowMessageA("RASDialEvent"));
}

}  // namespace

TConnectionStatus::TConnectionStatus(const TRasBinding& binding, DWORD pollPeriod)
    : FMonitor(CreateRAS(binding), this), PollPeriod(pollPeriod) {
    Start();
}

TConnectionStatus::~TConnectionStatus() {
    Terminate();
    WaitFor();
}

void TConnectionStatus::Execute() {
    while (!Terminated()) {
        // A callback that fails is reported like any other failure; the polls go on.
        try {
            FMonitor.Poll();
        } catch (...) {
            Application.ReportException(std::current_exception());
        }
        SleepUnlessTerminated(PollPeriod);
    }
}

void StartConnectionStatus(DWORD pollPeriod) {
    std::lock_guard<std::mutex> lock(ConnectionStatusLock);
    if (!ConnectionStatus) ConnectionStatus = new TConnectionStatus(RasBinding, pollPeriod);
}

void StopConnectionStatus() {
    std::unique_ptr<TConnectionStatus> poller;
    {
        // Unpublished first, so that a callback still running meets no poller.
        std::lock_guard<std::mutex> lock(ConnectionStatusLock);
        poller.reset(ConnectionStatus);
        ConnectionStatus = nullptr;
    }
    if (!poller) return;
    poller->Terminate();
    // A poller whose hand-over this thread is serving further up its stack cannot end before
    // that returns, which happens only when the process ends at the end of the logon: it is
    // left to the process's end rather than destroyed under its own feet.
    if (!poller->WaitFor()) poller.release();
}

void SetConnectedCallback(TConnectionCallback callback) {
    std::lock_guard<std::mutex> lock(ConnectionStatusLock);
    if (ConnectionStatus) ConnectionStatus->Monitor().SetOnConnected(std::move(callback));
}

void SetDisconnectedCallback(TConnectionCallback callback) {
    std::lock_guard<std::mutex> lock(ConnectionStatusLock);
    if (ConnectionStatus) ConnectionStatus->Monitor().SetOnDisconnected(std::move(callback));
}

bool DialUpAvailable() {
    std::lock_guard<std::mutex> lock(ConnectionStatusLock);
    return ConnectionStatus && RasAvailable();
}

bool DialUpConnected() {
    std::lock_guard<std::mutex> lock(ConnectionStatusLock);
    return ConnectionStatus && ConnectionStatus->Monitor().Connected();
}
