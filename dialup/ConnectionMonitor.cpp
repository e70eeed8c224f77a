#include "dialup/ConnectionMonitor.h"

TConnectionMonitor::TConnectionMonitor(std::unique_ptr<TRAS> ras, TConnectionStatus* sender)
    : RAS(std::move(ras)), Sender(sender) {}

void TConnectionMonitor::Poll() {
    const bool connected = Connected();
    if (connected == LastConnected) return;
    LastConnected = connected;
    TConnectionCallback callback;
    {
        std::lock_guard<TLock> lock(EventLock);
        callback = connected ? OnConnected : OnDisconnected;
    }
    if (callback) callback(Sender);
}

bool TConnectionMonitor::Connected() {
    std::lock_guard<TLock> lock(RasLock);
    return RAS->IsConnected();
}

void TConnectionMonitor::SetOnConnected(TConnectionCallback callback) {
    std::lock_guard<TLock> lock(EventLock);
    OnConnected = std::move(callback);
}

void TConnectionMonitor::SetOnDisconnected(TConnectionCallback callback) {
    std::lock_guard<TLock> lock(EventLock);
    OnDisconnected = std::move(callback);
}
