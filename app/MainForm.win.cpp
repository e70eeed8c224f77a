#include "app/MainForm.win.h"

#include "framework/Application.win.h"

namespace {

const char kWindowClass[] = "LarkspurMainForm";

}  // namespace

TMainForm::TMainForm() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TMainForm::WindowProc;
    wc.hInstance = Application.Instance();
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    // A tool window with only a system menu, owned by the hidden application window.
    FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "MainForm",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, Application.Handle(),
                              nullptr, Application.Instance(), nullptr);
}

TMainForm::~TMainForm() {
    if (FHandle) DestroyWindow(FHandle);
}

LRESULT CALLBACK TMainForm::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
