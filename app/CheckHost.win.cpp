#include "app/CheckHost.win.h"

#include <windows.h>

#include "app/ErrorForm.win.h"
#include "app/MainForm.win.h"
#include "app/Quiet.win.h"
#include "app/PropsPromptForm.win.h"
#include "app/SeenStore.win.h"
#include "framework/Application.win.h"
#include "framework/Locale.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "oauth/MailboxAccount.win.h"
#include "settings/AppProperties.h"
#include "settings/PropertyForm.win.h"
#include "tray/Notification.win.h"
#include "tray/NotifyForm.win.h"
#include "tray/TrayStatus.win.h"

TMailboxSettings& TCheckHost::Mailbox() {
    return Settings.Mailbox(Selected < Settings.MailboxCount() ? Selected : 0);
}

bool TCheckHost::SettingsComplete() { return Mailbox().SettingsComplete(); }

MailAccount TCheckHost::Account() {
    // An account sign-in carries the access token where the password goes; the job fetches it,
    // where a cancel of the check reaches a renewal.
    TMailboxSettings& box = Mailbox();
    return {box.Pop3ServerAddress(), box.LoginUsername(),
            IsAccountSignIn(box.SignIn()) ? std::string() : box.Password()};
}

std::unique_ptr<IMailCountJob> TCheckHost::CreateJob() {
    auto job = std::make_unique<TMailMessageCount>();
    TMailboxSettings& box = Mailbox();
    job->Security = box.Security();
    job->Auth = Pop3AuthOf(box.SignIn());
    // The mailbox by its index, when the token is needed: the Properties dialog may change the
    // list while the check runs.
    if (IsAccountSignIn(box.SignIn()))
        job->AccessToken = [this, index = Selected](std::string& token, bool renew, HANDLE stop) {
            token = index < Settings.MailboxCount()
                        ? MailboxAccessToken(Settings.Mailbox(index), renew, stop)
                        : std::string();
            return !token.empty();
        };
    return job;
}

int TCheckHost::ShowSettingsPrompt() { return ShowPropsPrompt(); }

void TCheckHost::OpenPropertiesDialog(int page) {
    if (ShowPropertiesDialog(Settings, page, Selected) && OnSettingsApplied) OnSettingsApplied();
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

void TCheckHost::ShowMailboxesInTray(const std::vector<TMailboxCount>& withMail, TDateTime time,
                                     TCountWording wording) {
    SetTrayHint(MailboxesHintText(withMail, time, LocaleTimeSeparator(), wording), true);
    SetMailWaiting(!withMail.empty());
}

// With several mailboxes the dialog names the mailbox, and "Setup now" opens its page.
void TCheckHost::ReportMailError(const std::string& message, TMailErrorKind kind) {
    const std::size_t index = Selected;
    ::ReportMailError(
        message, kind,
        [this, index] {
            Selected = index;
            OpenPropertiesDialog(kMailboxPage);
        },
        Mailbox().Pop3ServerAddress(), Settings.MailboxCount() > 1 ? Mailbox().Title() : "");
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
    if (TMainForm* form = RunningMainForm()) form->StartRetryTimer(milliseconds, Selected);
}

void TCheckHost::StopRetryTimer() {
    if (TMainForm* form = RunningMainForm()) form->StopRetryTimer(Selected);
}

bool TCheckHost::KeepQuiet() { return ::KeepQuiet(Settings); }
