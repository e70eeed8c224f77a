#include "framework/MessageBox.win.h"

#include "framework/Application.win.h"

namespace {

void Show(const std::string& text, const char* caption, UINT icon, HWND owner = nullptr) {
    // The program has no active window of its own, so the box asks for the foreground.
    MessageBoxA(owner ? owner : Application.Handle(), text.c_str(), caption,
                MB_OK | icon | MB_SETFOREGROUND);
}

}  // namespace

void ShowErrorMessage(const std::string& text) { Show(text, "Error", MB_ICONERROR); }

void ShowInformationMessage(const std::string& text, HWND owner) {
    Show(text, "Information", MB_ICONINFORMATION, owner);
}
