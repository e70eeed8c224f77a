#include "dialup/ConnectionStatus.win.h"

#include <atomic>

namespace {

// Null before start-up and once the poller has been stopped; owned by Start/StopConnectionStatus.
std::atomic<TConnectionStatus*> ConnectionStatus{nullptr};

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
        FMonitor.Poll();
        SleepUnlessTerminated(PollPeriod);
    }
}

void StartConnectionStatus(DWORD pollPeriod) {
    if (ConnectionStatus.load()) return;
    ConnectionStatus = new TConnectionStatus(RasBinding, pollPeriod);
}

void StopConnectionStatus() {
    // Unpublished first, so that a callback still running meets no poller; destroying the
    // poller then stops and joins its thread.
    std::unique_ptr<TConnectionStatus> poller(ConnectionStatus.exchange(nullptr));
    poller.reset();
}

void SetConnectedCallback(TConnectionEvent callback) {
    if (TConnectionStatus* poller = ConnectionStatus.load())
        poller->Monitor().SetOnConnected(std::move(callback));
}

void SetDisconnectedCallback(TConnectionEvent callback) {
    if (TConnectionStatus* poller = ConnectionStatus.load())
        poller->Monitor().SetOnDisconnected(std::move(callback));
}

bool DialUpAvailable() {
    return ConnectionStatus.load() && RasAvailable();
}

bool DialUpConnected() {
    TConnectionStatus* poller = ConnectionStatus.load();
    return poller && poller->Monitor().Connected();
}
