#include "app/CheckHost.win.h"

#include <windows.h>

#include "app/ErrorForm.win.h"
#include "app/MainForm.win.h"
#include "app/Quiet.win.h"
#include "app/PropsPromptForm.win.h"
#include "framework/Application.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "settings/AppProperties.h"
#include "settings/PropertyForm.win.h"
#include "tray/Notification.win.h"
#include "tray/NotifyForm.win.h"
#include "tray/TrayStatus.win.h"

bool TCheckHost::SettingsComplete() { return Settings.SettingsComplete(); }

MailAccount TCheckHost::Account() {
    return {Settings.Pop3ServerAddress(), Settings.LoginUsername(), Settings.Password()};
}

std::unique_ptr<IMailCountJob> TCheckHost::CreateJob() {
    auto job = std::make_unique<TMailMessageCount>();
    job->Security = Settings.Security();
    job->Auth = Pop3AuthOf(Settings.SignIn());
    return job;
}

int TCheckHost::ShowSettingsPrompt() { return ShowPropsPrompt(); }

void TCheckHost::OpenPropertiesDialog(int page) {
    if (ShowPropertiesDialog(Settings, page) && OnSettingsApplied) OnSettingsApplied();
}

void TCheckHost::ShowResultInTray(std::int32_t count, TDateTime time) {
    ::ShowResultInTray(count, time);
}

void TCheckHost::NotifyAfterCheck(std::int32_t count) {
    ::NotifyAfterCheck(Settings, count);
}

void TCheckHost::ShowLastResult(std::int32_t count, TDateTime time) {
    ::ShowLastResult(count, time);
}

void TCheckHost::ReportMailError(const std::string& message, TMailErrorKind kind) {
    ::ReportMailError(message, kind, [this] { OpenPropertiesDialog(kMailboxPage); },
                      Settings.Pop3ServerAddress());
}

void TCheckHost::ReportProgramFailure(std::exception_ptr failure) {
    Application.ReportException(failure);
}

void TCheckHost::ProcessMessages() { Application.ProcessMessages(); }

bool TCheckHost::Pause(int milliseconds) { return Application.Pause(milliseconds); }

TDateTime TCheckHost::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                           st.wMilliseconds});
}

std::uint32_t TCheckHost::Ticks() { return GetTickCount(); }

namespace {

// The main form from the moment it begins to start up, when the first check may run.
TMainForm* RunningMainForm() { return dynamic_cast<TMainForm*>(Application.MainForm()); }

}  // namespace

void TCheckHost::StartRetryTimer(std::uint32_t milliseconds) {
    if (TMainForm* form = RunningMainForm()) form->StartRetryTimer(milliseconds);
}

void TCheckHost::StopRetryTimer() {
    if (TMainForm* form = RunningMainForm()) form->StopRetryTimer();
}

bool TCheckHost::KeepQuiet() { return ::KeepQuiet(Settings); }
