#pragma once
// The form: a window built from a dialog template in larkspur.rc, owned by the hidden
// application window. It is shown modally (ShowModal), or created and kept hidden (the main
// form). A derived class overrides the hooks it needs.

#include <windows.h>

#include <string>

#include "framework/Window.win.h"

// Modal results, as the buttons' identifiers give them.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;          // 1
constexpr int mrCancel = IDCANCEL;  // 2

class TForm : public TWindow {
public:
    explicit TForm(int templateId) : TemplateId(templateId) {}

    // Creates the window if it does not exist yet, shows it and runs a modal loop until
    // ModalResult is set or the program quits; then hides and destroys the window and returns
    // ModalResult. Raises when the window cannot be made.
    int ShowModal();
    // Creates the window from its template without showing it: owned by the application window,
    // or a child of parent for a form that is a page of another.
    void CreateHandle(HWND parent = nullptr);

    int ModalResult = mrNone;

protected:
    // The window's creation parameters; derived forms may add styles.
    virtual void CreateParams(DWORD& style, DWORD& exStyle);
    // The window and its controls exist (WM_INITDIALOG).
    virtual void FormCreate() {}
    // Just before ShowModal shows the window.
    virtual void FormShow() {}
    // Sees each message of the modal loop before the dialog manager does; true swallows it.
    virtual bool PreTranslateMessage(MSG&) { return false; }
    // A button with a modal result ends the dialog with it; other commands are ignored.
    void OnCommand(int id, int notifyCode) override;
    void OnTimer(UINT_PTR id) override;
    // The close box and Alt+F4 end a modal form with mrCancel.
    void OnClose() override;

    // A timer of this form; each tick reaches OnTimer with the id. Raises EOSError on failure.
    void StartTimer(UINT_PTR id, UINT milliseconds);
    void StopTimer(UINT_PTR id);
    void SetItemText(int id, const std::string& text);
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }

    // How ShowModal shows the window: SW_SHOWNOACTIVATE for a form that must not take the focus.
    int ShowCommand = SW_SHOWNORMAL;

private:
    void OnCreate() override { FormCreate(); }

    int TemplateId;
};
