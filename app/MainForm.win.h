#pragma once
// The application's main form. It is never shown: it owns the tray icon's menu and the
// one-second settings timer, gives the tray icon a window and holds every command of the user.
// It is the last part of the program (TProgram) to be made and the first to go.

#include "framework/Form.win.h"
#include "framework/PopupMenu.win.h"

class TMainForm : public TForm {
public:
    // Creates the hidden window, becomes the application's main form, puts up the tray icon
    // with its menu and click actions and starts checking: in direct mode the first check runs
    // before this returns.
    TMainForm();
    // Takes the icon out of the tray.
    ~TMainForm() override;

    TPopupMenu TrayIconMenu;

    // A check can be made now: a direct connection, or a dial-up connection that is up.
    bool CanCheckNow() const;
    void TrayIconMenuPopup(TPopupMenu* Sender);
    void CheckNow1Click();
    void ShowLast1Click();
    void StartMailProgramClick();
    void Properties1Click();
    void About1Click();
    void Exit1Click();
    void PropsCheckTimerTimer();

protected:
    void FormCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnTimer(UINT_PTR id) override;
    // WM_CLOSE from outside (taskkill, an installer) ends the program.
    void OnClose() override;

private:
    void InitialiseTrayAndEvents();
};
