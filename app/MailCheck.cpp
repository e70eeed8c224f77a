#include "app/MailCheck.h"

#include <exception>

#include "mailbase/NetworkFailure.h"

namespace {

// Clears a flag however the scope is left.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : Flag(flag) { Flag = true; }
    ~FlagGuard() { Flag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& Flag;
};

constexpr int kEnterNow = 1;
const char kDnsServerBusy[] = "DNS server busy";

}  // namespace

void TMailStatus::CheckMail(bool userInitiated) { Request(userInitiated, false); }

void TMailStatus::Request(bool userInitiated, bool dnsRetry) {
    if (!dnsRetry) DnsRetries = 0;
    if (Busy) CancelMailCheck();
    if (!Host.SettingsComplete()) PromptForSettings();
    if (!Host.SettingsComplete()) return;
    UserInitiated = userInitiated;
    const MailAccount account = Host.Account();
    StartCheck(account.Server, account.UserName, account.Password);
}

void TMailStatus::CancelMailCheck() {
    Cancel();
    Host.ProcessMessages();
}

void TMailStatus::ShowLastCheck() {
    Host.ShowLastResult(LastCount, LastCheckTime, LastWording, LastNewest);
}

void TMailStatus::PromptForSettings() {
    if (PromptOpen) return;  // one prompt at a time; this request is not queued
    FlagGuard open(PromptOpen);
    if (Host.ShowSettingsPrompt() == kEnterNow) Host.OpenPropertiesDialog(kMailboxPage);
}

void TMailStatus::Woke() { WakeRetry.Woke(Host.Ticks()); }

void TMailStatus::RetryDue() {
    // A check under way reports for itself, and a failure of it continues the series.
    if (!Busy) CheckMail(false);
}

void TMailStatus::StartCheck(const std::string& server, const std::string& userName,
                             const std::string& password) {
    if (Busy) {
        RecheckPending = true;
        return;
    }
    Busy = true;
    ++ChecksStarted;
    // This check stands in for a retry that is waiting.
    Host.StopRetryTimer();
    auto job = Host.CreateJob();
    FMailMessageCount = job.get();
    job->OnSuccess = [this](IMailCountJob* sender, std::int32_t count) {
        CheckSucceeded(sender, count);
    };
    job->OnError = [this](IMailCountJob* sender, const std::string& message, TMailErrorKind kind) {
        CheckFailed(sender, message, kind);
    };
    job->SetAccount(server, userName, password);
    CheckServer = server;
    CheckUserName = userName;
    CheckNumber = ChecksStarted;
    job->OnlyNew = Host.OnlyNewMail();
    if (job->OnlyNew) job->Seen = Host.LoadSeen(server, userName);

    // A failure outside the four kinds leaves Run without a callback; it still ends the check,
    // so that the next request can start one, and the user learns what went wrong.
    std::exception_ptr unexpected;
    try {
        job->Run();
    } catch (...) {
        unexpected = std::current_exception();
    }
    job.reset();
    FMailMessageCount = nullptr;
    if (unexpected) {
        Busy = false;
        Host.ReportProgramFailure(unexpected);
    }
    if (DnsRetryDue) RetryBusyNameServer();
}

void TMailStatus::Cancel() {
    if (Busy && FMailMessageCount) FMailMessageCount->Cancel();
}

void TMailStatus::CheckSucceeded(IMailCountJob* sender, std::int32_t count) {
    Busy = false;
    TNewMail news = std::move(sender->News);
    const bool toldApart = news.Asked && news.Supported;
    LastCount = toldApart ? news.Count : count;
    LastWording = !news.Asked ? cwAll : toldApart ? cwNew : cwAllNotNew;
    LastNewest = std::move(news.Newest);
    LastCheckTime = Host.Now();
    WakeRetry.Succeeded();
    // The check's own data: a check that starts while the window below is up changes the
    // members.
    const unsigned number = CheckNumber;
    const std::string server = CheckServer, userName = CheckUserName;
    Host.ShowResultInTray(LastCount, LastCheckTime, LastWording);
    const bool tell = LastCount > 0 || (UserInitiated && LastCount == 0);
    if (tell && (UserInitiated || !Host.KeepQuiet()))
        Host.NotifyAfterCheck(LastCount, LastWording, LastNewest);
    // The user has been told now: by the window that has closed again, or by the tray when no
    // window is shown (quiet included). A later check that finished while the window was up has
    // saved a newer state already.
    if (toldApart && number > SeenSavedBy) {
        SeenSavedBy = number;
        Host.SaveSeen(server, userName, news.CurrentIds);
    }
}

void TMailStatus::CheckFailed(IMailCountJob*, const std::string& message, TMailErrorKind kind) {
    Busy = false;
    switch (kind) {
        case mekMail:
            ReportFailure(message, mekMail);
            break;
        case mekSocket:
            if (message.find(kDnsServerBusy) == std::string::npos) {
                ReportFailure(message, mekSocket);
            } else if (DnsRetries < kMaxDnsRetries) {
                DnsRetryDue = true;  // re-issued by StartCheck once this job's Run has returned
            } else {
                ReportFailure(message, mekSocket);
            }
            break;
        case mekTimedOut:
            // Never shown; after a resume it is worth another try all the same.
            RetryQuietly(message, mekTimedOut);
            break;
        case mekCanceled:
            if (RecheckPending) {
                RecheckPending = false;
                CheckMail(UserInitiated);
            }
            break;
    }
}

bool TMailStatus::RetryQuietly(const std::string& message, TMailErrorKind kind) {
    if (UserInitiated) return false;
    const std::uint32_t pause = WakeRetry.Failed(IsNetworkFailure(kind, message), Host.Ticks());
    if (pause == 0) return false;
    Host.StartRetryTimer(pause);
    return true;
}

void TMailStatus::ReportFailure(const std::string& message, TMailErrorKind kind) {
    if (RetryQuietly(message, kind)) return;
    // Quiet means no window at all: the error waits for the next check the user asks for.
    if (!UserInitiated && Host.KeepQuiet()) return;
    Host.ReportMailError(message, kind);
}

void TMailStatus::RetryBusyNameServer() {
    DnsRetryDue = false;
    ++DnsRetries;
    const unsigned started = ChecksStarted;
    // A request that started its own check during the pause has made the retry pointless.
    if (Host.Pause(kDnsRetryPauseMs) && started == ChecksStarted && !Busy) {
        Request(UserInitiated, true);
    }
}
