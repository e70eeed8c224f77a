#include "framework/NotifyWindow.win.h"

#include "framework/Application.win.h"

namespace {

const char kWindowClass[] = "LarkspurNotifyWindow";
constexpr UINT_PTR kTimerId = 1;

void RegisterNotifyClass(WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    // A second registration fails harmlessly with ERROR_CLASS_ALREADY_EXISTS.
    RegisterClassA(&wc);
}

}  // namespace

TNotifyWindow::TNotifyWindow(MessageHandler onMessage, std::function<void()> onTimer)
    : FOnMessage(std::move(onMessage)), FOnTimer(std::move(onTimer)) {
    RegisterNotifyClass(&TNotifyWindow::WindowProc);
    // A message-only window: never shown, never enumerated, still gets posted messages.
    FHandle = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), this);
}

TNotifyWindow::~TNotifyWindow() {
    if (FHandle) DestroyWindow(FHandle);
}

void TNotifyWindow::StartTimer(UINT milliseconds) {
    SetTimer(FHandle, kTimerId, milliseconds, nullptr);
}

void TNotifyWindow::StopTimer() {
    KillTimer(FHandle, kTimerId);
}

LRESULT CALLBACK TNotifyWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TNotifyWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        try {
            if (msg == WM_TIMER && wParam == kTimerId) {
                if (self->FOnTimer) self->FOnTimer();
                return 0;
            }
            LRESULT result = 0;
            if (self->FOnMessage && self->FOnMessage(msg, wParam, lParam, result)) return result;
        } catch (const std::exception& e) {
            Application.HandleException(e);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
