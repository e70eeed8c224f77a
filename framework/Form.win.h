#pragma once
// The base of every window of the program: a dialog built from a template in larkspur.rc and
// shown modally. A derived class overrides the hooks it needs; the static dialog procedure
// keeps `this` and stops exceptions before they reach the platform.

#include <windows.h>

#include <string>

// Modal results, as the buttons' identifiers give them.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;          // 1
constexpr int mrCancel = IDCANCEL;  // 2

class TForm {
public:
    explicit TForm(int templateId) : TemplateId(templateId) {}
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Creates the window, shows it and runs a modal loop until ModalResult is set or the
    // program quits; then hides and destroys the window and returns ModalResult.
    int ShowModal();
    HWND Handle() const { return FHandle; }

    int ModalResult = mrNone;

protected:
    // The window's creation parameters; derived forms may add styles.
    virtual void CreateParams(DWORD& style, DWORD& exStyle);
    virtual void FormShow() {}
    // A button with a modal result ends the dialog with it; other commands are ignored.
    virtual void OnCommand(int id, int notifyCode);
    virtual void OnTimer(UINT_PTR id);
    // A notification from a common control; true when handled.
    virtual bool OnNotify(const NMHDR&) { return false; }
    // Sees each message of the modal loop before the dialog manager does; true swallows it.
    virtual bool PreTranslateMessage(MSG&) { return false; }

    void StartTimer(UINT_PTR id, UINT milliseconds);
    void StopTimer(UINT_PTR id);
    void SetItemText(int id, const std::string& text);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    int TemplateId;
    HWND FHandle = nullptr;
};
