#pragma once
// The application's main form. It is never shown: it owns the tray icon's menu, the one-second
// settings timer and the timers of the checks after a resume or a network change, gives the tray
// icon a window, hears the system's power messages and holds every command of the user. It is
// the last part of the program (TProgram) to be made and the first to go.

#include <cstddef>
#include <cstdint>

#include "app/WakeTriggers.h"
#include "framework/Form.win.h"
#include "framework/PopupMenu.win.h"

// What the network watch posts to the main form for each change of the machine's network.
constexpr UINT WM_NETWORKCHANGED = WM_APP + 2;

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
    void CheckNowClick();
    void ShowLastClick();
    void StartMailProgramClick();
    void PropertiesClick();
    void AboutClick();
    void ExitClick();
    void PropsCheckTimerTimer();
    // Pauses notifications for an hour, or resumes them.
    void PauseNotificationsClick();
    void ResumeNotificationsClick();
    // A resume or a change of the network: on a direct connection the network may be coming up,
    // so a check is requested, at most one per five seconds.
    void NetworkMayHaveChanged();
    // The quiet retry of a mailbox's controller after the pause.
    void StartRetryTimer(std::uint32_t milliseconds, std::size_t mailbox = 0);
    void StopRetryTimer(std::size_t mailbox = 0);

protected:
    void FormCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnTimer(UINT_PTR id) override;
    // WM_CLOSE from outside (taskkill, an installer) ends the program.
    void OnClose() override;
    // WM_POWERBROADCAST and WM_NETWORKCHANGED.
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void InitialiseTrayAndEvents();

    TTriggerDebounce Debounce;
};
