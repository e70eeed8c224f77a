#include "app/MainForm.win.h"

#include "app/AboutBox.win.h"
#include "app/Program.win.h"
#include "dialup/ConnectionStatus.win.h"
#include "framework/Application.win.h"
#include "framework/MessageBox.win.h"
#include "framework/ResourceString.win.h"
#include "mailprogram/MailProgram.win.h"
#include "resources/resource.h"
#include "tray/TrayStatus.win.h"

namespace {

constexpr UINT_PTR kPropsCheckTimer = 1;
constexpr UINT kPropsCheckDelay = 1000;
constexpr UINT_PTR kDebounceTimer = 2;
constexpr UINT_PTR kPauseTimer = 4;
constexpr UINT_PTR kRetryTimer = 16;
constexpr UINT_PTR kMailboxTimers = 1000;
constexpr UINT kPauseMilliseconds = 60 * 60 * 1000;
constexpr int kGeneralPage = 0;

}  // namespace

TMainForm::TMainForm() : TForm(IDD_MAINFORM), TrayIconMenu(IDM_TRAYMENU) {
    TrayIconMenu.DefaultItem = IDM_CHECKNOW;
    // Nothing ever shows "E&xit": the program ends with the logon or from outside.
    TrayIconMenu.Item(IDM_EXIT).Visible = false;
    TrayIconMenu.OnPopup = [this](TPopupMenu* sender) { TrayIconMenuPopup(sender); };
    CreateHandle();
    Application.SetMainForm(this);
    try {
        InitialiseTrayAndEvents();
    } catch (...) {
        DestroyTrayIcon();
        Application.SetMainForm(nullptr);
        throw;
    }
}

TMainForm::~TMainForm() {
    DestroyTrayIcon();
    Application.SetMainForm(nullptr);
}

void TMainForm::FormCreate() { StartTimer(kPropsCheckTimer, kPropsCheckDelay); }

void TMainForm::InitialiseTrayAndEvents() {
    SetTrayMenu(&TrayIconMenu);
    SetMailWaiting(false);
    SetTrayDoubleClick([this](TNotifyIcon*) { CheckNowClick(); });
    SetTrayClick([this](TNotifyIcon*) { ShowLastClick(); });
    Program().Triggers.ApplyCheckSettings();
}

bool TMainForm::CanCheckNow() const {
    return !Program().Settings->UseDialUpNetworking() || DialUpConnected();
}

void TMainForm::TrayIconMenuPopup(TPopupMenu*) {
    TrayIconMenu.Item(IDM_SHOWLAST).Enabled = Program().Checks.HasCheckResult();
    TrayIconMenu.Item(IDM_CHECKNOW).Enabled = CanCheckNow();
    // The separator comes and goes with the item below it.
    const bool mailProgram = Program().Settings->MailAppExists();
    TrayIconMenu.Item(IDM_MAILPROGRAMSEPARATOR).Visible = mailProgram;
    TrayIconMenu.Item(IDM_STARTMAILPROGRAM).Visible = mailProgram;
    TrayIconMenu.Item(IDM_PAUSENOTIFICATIONS).Visible = !NotificationsPaused();
    TrayIconMenu.Item(IDM_RESUMENOTIFICATIONS).Visible = NotificationsPaused();
}

void TMainForm::CheckNowClick() {
    // The double click reaches this too, whatever the menu item's state.
    if (CanCheckNow()) {
        Program().Checks.CheckMail(true);
        return;
    }
    SetForegroundWindow(Application.Handle());
    ShowInformationMessage(ResourceString(IDS_CONNECTFIRST));
}

void TMainForm::ShowLastClick() { Program().Checks.ShowLastCheck(); }

void TMainForm::StartMailProgramClick() {
    OpenMailProgram(Program().Settings->MailAppPath(), Program().Settings->MailAppCommandLineParameter());
}

void TMainForm::PropertiesClick() {
    Program().Host->SelectMailbox(0);
    Program().Host->OpenPropertiesDialog(kGeneralPage);
}

void TMainForm::AboutClick() { ShowAboutBox(); }

void TMainForm::ExitClick() {
    Program().Checks.CancelMailCheck();
    PostQuitMessage(0);
}

void TMainForm::PropsCheckTimerTimer() {
    StopTimer(kPropsCheckTimer);
    if (!Program().Settings->Mailbox(0).SettingsComplete())
        Program().Checks.Status(0).PromptForSettings();
}

// The hour is the timer's: a change of the clock or of summer time neither ends nor lengthens it.
void TMainForm::PauseNotificationsClick() {
    StartTimer(kPauseTimer, kPauseMilliseconds);
    SetNotificationsPaused(true);
}

void TMainForm::ResumeNotificationsClick() {
    StopTimer(kPauseTimer);
    SetNotificationsPaused(false);
}

void TMainForm::NetworkMayHaveChanged() {
    // With dial-up the connection's own events rule the checks.
    if (Program().Settings->UseDialUpNetworking()) return;
    const std::uint32_t now = GetTickCount();
    Program().Checks.Woke();
    if (Debounce.Event(now))
        Program().Checks.CheckMail(false);
    else
        StartTimer(kDebounceTimer, Debounce.HeldBackDelay(now));
}

void TMainForm::StartRetryTimer(std::uint32_t milliseconds, std::size_t mailbox) {
    StartTimer(kRetryTimer + mailbox, milliseconds);
}

void TMainForm::StopRetryTimer(std::size_t mailbox) { StopTimer(kRetryTimer + mailbox); }

LRESULT TMainForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NETWORKCHANGED ||
        (msg == WM_POWERBROADCAST &&
         (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND))) {
        NetworkMayHaveChanged();
        if (msg == WM_POWERBROADCAST) return TRUE;
        return 0;
    }
    return TForm::WndProc(msg, wParam, lParam);
}

void TMainForm::OnCommand(int id, int) {
    switch (id) {
        case IDM_CHECKNOW:
            CheckNowClick();
            break;
        case IDM_SHOWLAST:
            ShowLastClick();
            break;
        case IDM_STARTMAILPROGRAM:
            StartMailProgramClick();
            break;
        case IDM_ABOUT:
            AboutClick();
            break;
        case IDM_EXIT:
            ExitClick();
            break;
        case IDM_PROPERTIES:
            PropertiesClick();
            break;
        case IDM_PAUSENOTIFICATIONS:
            PauseNotificationsClick();
            break;
        case IDM_RESUMENOTIFICATIONS:
            ResumeNotificationsClick();
            break;
        default:
            break;
    }
}

void TMainForm::OnTimer(UINT_PTR id) {
    switch (id) {
        case kPropsCheckTimer:
            PropsCheckTimerTimer();
            break;
        case kDebounceTimer:
            StopTimer(kDebounceTimer);
            if (Debounce.TimerDue(GetTickCount()) && !Program().Settings->UseDialUpNetworking())
                Program().Checks.CheckMail(false);
            break;
        case kPauseTimer:
            ResumeNotificationsClick();
            break;
        default:
            // The mailboxes' retry timers, one each from kRetryTimer on.
            if (id < kRetryTimer || id >= kRetryTimer + kMailboxTimers) break;
            StopTimer(id);
            Program().Checks.RetryDue(id - kRetryTimer);
            break;
    }
}

void TMainForm::OnClose() { Application.Terminate(); }
