#include "app/CheckHost.win.h"

#include <windows.h>

#include "app/ErrorForm.win.h"
#include "app/MainForm.win.h"
#include "app/Quiet.win.h"
#include "app/PropsPromptForm.win.h"
#include "app/SeenStore.win.h"
#include "framework/Application.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "oauth/MailboxAccount.win.h"
#include "settings/AppProperties.h"
#include "settings/PropertyForm.win.h"
#include "tray/Notification.win.h"
#include "tray/NotifyForm.win.h"
#include "tray/TrayStatus.win.h"

bool TCheckHost::SettingsComplete() { return Settings.SettingsComplete(); }

MailAccount TCheckHost::Account() {
    // An account sign-in carries the access token where the password goes; the job fetches it,
    // where a cancel of the check reaches a renewal.
    return {Settings.Pop3ServerAddress(), Settings.LoginUsername(),
            IsAccountSignIn(Settings.SignIn()) ? std::string() : Settings.Password()};
}

std::unique_ptr<IMailCountJob> TCheckHost::CreateJob() {
    auto job = std::make_unique<TMailMessageCount>();
    job->Security = Settings.Security();
    job->Auth = Pop3AuthOf(Settings.SignIn());
    if (IsAccountSignIn(Settings.SignIn()))
        job->AccessToken = [this](std::string& token, bool renew, HANDLE stop) {
            token = MailboxAccessToken(Settings, renew, stop);
            return !token.empty();
        };
    return job;
}

int TCheckHost::ShowSettingsPrompt() { return ShowPropsPrompt(); }

void TCheckHost::OpenPropertiesDialog(int page) {
    if (ShowPropertiesDialog(Settings, page) && OnSettingsApplied) OnSettingsApplied();
}

void TCheckHost::ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) {
    ::ShowResultInTray(count, time, wording);
}

void TCheckHost::NotifyAfterCheck(std::int32_t count, TCountWording wording,
                                  const std::vector<TMessageSummary>& newest) {
    ::NotifyAfterCheck(Settings, count, wording, newest);
}

void TCheckHost::ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                                const std::vector<TMessageSummary>& newest) {
    ::ShowLastResult(count, time, wording, newest);
}

bool TCheckHost::OnlyNewMail() { return Settings.OnlyNewMail(); }

TSeenIds TCheckHost::LoadSeen(const std::string& server, const std::string& userName) {
    return LoadSeenIds(SeenFilePath(server, userName));
}

// A file that cannot be written only means that the same mail is told about again.
void TCheckHost::SaveSeen(const std::string& server, const std::string& userName,
                          const std::vector<std::string>& ids) {
    SaveSeenIds(SeenFilePath(server, userName), ids);
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
