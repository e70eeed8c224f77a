// The yardstick of the idle benchmark: a Win32 program that does nothing but show one icon in
// the notification area until it is ended. It links what such a program needs and no more.

#include <windows.h>
#include <shellapi.h>

namespace {

const UINT kTrayCallback = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MinimalTray";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "MinimalTray", 0, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    NOTIFYICONDATAA icon{sizeof icon};
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = kTrayCallback;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, "Minimal tray program", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
