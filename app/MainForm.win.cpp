#include "app/MainForm.win.h"

#include "app/AboutBox.win.h"
#include "app/CheckTriggers.win.h"
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
    ApplyCheckSettings();
}

bool TMainForm::CanCheckNow() const {
    return !AppProperties->UseDialUpNetworking() || DialUpConnected();
}

void TMainForm::TrayIconMenuPopup(TPopupMenu*) {
    TrayIconMenu.Item(IDM_SHOWLAST).Enabled = MailStatus->HasCheckResult();
    TrayIconMenu.Item(IDM_CHECKNOW).Enabled = CanCheckNow();
    // The separator comes and goes with the item below it.
    const bool mailProgram = AppProperties->MailAppExists();
    TrayIconMenu.Item(IDM_MAILPROGRAMSEPARATOR).Visible = mailProgram;
    TrayIconMenu.Item(IDM_STARTMAILPROGRAM).Visible = mailProgram;
}

void TMainForm::CheckNowClick() {
    // The double click reaches this too, whatever the menu item's state.
    if (CanCheckNow()) {
        MailStatus->CheckMail(true);
        return;
    }
    SetForegroundWindow(Application.Handle());
    ShowInformationMessage(ResourceString(IDS_CONNECTFIRST));
}

void TMainForm::ShowLastClick() { MailStatus->ShowLastCheck(); }

void TMainForm::StartMailProgramClick() {
    OpenMailProgram(AppProperties->MailAppPath(), AppProperties->MailAppCommandLineParameter());
}

void TMainForm::PropertiesClick() { CheckHost->OpenPropertiesDialog(kGeneralPage); }

void TMainForm::AboutClick() { ShowAboutBox(); }

void TMainForm::ExitClick() {
    MailStatus->CancelMailCheck();
    PostQuitMessage(0);
}

void TMainForm::PropsCheckTimerTimer() {
    StopTimer(kPropsCheckTimer);
    if (!AppProperties->SettingsComplete()) MailStatus->PromptForSettings();
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
        default:
            break;
    }
}

void TMainForm::OnTimer(UINT_PTR id) {
    if (id == kPropsCheckTimer) PropsCheckTimerTimer();
}

void TMainForm::OnClose() { Application.Terminate(); }
