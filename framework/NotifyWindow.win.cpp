#include "framework/NotifyWindow.win.h"

#include "framework/OSError.win.h"

namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

TNotifyWindow::TNotifyWindow(MessageHandler onMessage, std::function<void()> onTimer)
    : FOnMessage(std::move(onMessage)), FOnTimer(std::move(onTimer)) {
    // A message-only window: never shown, never enumerated, still gets posted messages.
    CreateWindowHandle(TWindowClass{"LarkspurNotifyWindow"}, 0, "", 0, HWND_MESSAGE);
}

void TNotifyWindow::StartTimer(UINT milliseconds) {
    if (!SetTimer(Handle(), kTimerId, milliseconds, nullptr)) RaiseLastOSError("SetTimer");
}

void TNotifyWindow::StopTimer() { KillTimer(Handle(), kTimerId); }

LRESULT TNotifyWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kTimerId) {
        if (FOnTimer) FOnTimer();
        return 0;
    }
    LRESULT result = 0;
    if (FOnMessage && FOnMessage(msg, wParam, lParam, result)) return result;
    return TWindow::WndProc(msg, wParam, lParam);
}
