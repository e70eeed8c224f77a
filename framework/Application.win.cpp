#include "framework/Application.win.h"

#include "framework/MessageBox.win.h"

TApplication Application;

namespace {

const char kWindowClass[] = "LarkspurApplication";

// Keyboard navigation of a dialog must keep working while a check pumps the dialog's
// messages from inside one of its waits.
bool IsDialogMessageFor(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    char className[16] = {};
    if (!root || !GetClassNameA(root, className, sizeof className)) return false;
    return lstrcmpA(className, "#32770") == 0 && IsDialogMessageA(root, &msg);
}

}  // namespace

void TApplication::Initialize(HINSTANCE instance) {
    FInstance = instance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TApplication::WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    // Never shown: WS_POPUP without WS_VISIBLE, no size, off the taskbar.
    FHandle = CreateWindowExA(0, kWindowClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                              nullptr, nullptr, instance, nullptr);
}

void TApplication::Destroy() {
    if (FHandle) DestroyWindow(FHandle);
    FHandle = nullptr;
}

void TApplication::SetTitle(const std::string& title) { SetWindowTextA(FHandle, title.c_str()); }

bool TApplication::DispatchOne(MSG& msg) {
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return false;
    }
    if (!IsDialogMessageFor(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOne(msg);
}

void TApplication::WaitForMessageOrHandles(DWORD count, const HANDLE* handles, DWORD milliseconds) {
    MsgWaitForMultipleObjectsEx(count, handles, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

bool TApplication::Pause(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        ProcessMessages();
        const DWORD elapsed = GetTickCount() - start;
        if (Terminated()) return false;
        if (elapsed >= milliseconds) return true;
        WaitForMessageOrHandles(0, nullptr, milliseconds - elapsed);
    }
}

void TApplication::Run() {
    MSG msg;
    while (!Terminated()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) msg.message = WM_QUIT;
        DispatchOne(msg);
    }
}

void TApplication::HandleException(const std::exception& e) { ShowErrorMessage(e.what()); }

LRESULT CALLBACK TApplication::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENDSESSION && wParam) {
        if (Application.OnEndSession) Application.OnEndSession();
        ExitProcess(0);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
