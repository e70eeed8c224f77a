#include "app/MailboxChecks.h"

#include <algorithm>
#include <utility>

#include "tray/CountText.h"

// A mailbox's controller and the host it sees: the program's, with the mailbox selected for the
// calls that concern it, and with what is told of the result gathered for all mailboxes once
// there are several. It also keeps the mailbox's waiting request, news and error.
class TMailboxChecks::TLink : public ICheckHost {
public:
    TLink(TMailboxChecks& checks, std::size_t index)
        : Status(*this), Checks(checks), Host(checks.Host), Index(index) {}

    TMailStatus Status;
    bool Requested = false, RequestedByUser = false;
    bool Told = false;
    std::int32_t ToldCount = 0;
    TCountWording ToldWording = cwAll;
    bool ErrorWaiting = false;
    std::string ErrorMessage;
    TMailErrorKind ErrorKind = mekMail;

    bool SettingsComplete() override { return Select().SettingsComplete(); }
    MailAccount Account() override { return Select().Account(); }
    std::unique_ptr<IMailCountJob> CreateJob() override { return Select().CreateJob(); }
    int ShowSettingsPrompt() override { return Select().ShowSettingsPrompt(); }
    void OpenPropertiesDialog(int page) override { Select().OpenPropertiesDialog(page); }
    void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) override {
        if (Single()) return Host.ShowResultInTray(count, time, wording);
        Checks.ShowInTray();
    }
    void NotifyAfterCheck(std::int32_t count, TCountWording wording,
                          const std::vector<TMessageSummary>& newest) override {
        if (Single()) return Host.NotifyAfterCheck(count, wording, newest);
        // A mailbox checked again in the same round tells its newer result only.
        Told = true;
        ToldCount = count;
        ToldWording = wording;
    }
    void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                        const std::vector<TMessageSummary>& newest) override {
        Host.ShowLastResult(count, time, wording, newest);
    }
    bool OnlyNewMail() override { return Host.OnlyNewMail(); }
    TSeenIds LoadSeen(const std::string& server, const std::string& userName) override {
        return Host.LoadSeen(server, userName);
    }
    void SaveSeen(const std::string& server, const std::string& userName,
                  const std::vector<std::string>& ids) override {
        Host.SaveSeen(server, userName, ids);
    }
    void ReportMailError(const std::string& message, TMailErrorKind kind) override {
        if (Single()) return Select().ReportMailError(message, kind);
        // A newer error replaces the waiting one.
        ErrorWaiting = true;
        ErrorMessage = message;
        ErrorKind = kind;
        Checks.ReportErrors();
    }
    void ReportProgramFailure(std::exception_ptr failure) override {
        Host.ReportProgramFailure(failure);
    }
    void ProcessMessages() override { Host.ProcessMessages(); }
    bool Pause(int milliseconds) override { return Host.Pause(milliseconds); }
    TDateTime Now() override { return Host.Now(); }
    std::uint32_t Ticks() override { return Host.Ticks(); }
    void StartRetryTimer(std::uint32_t milliseconds) override {
        Select().StartRetryTimer(milliseconds);
    }
    void StopRetryTimer() override { Select().StopRetryTimer(); }
    bool KeepQuiet() override { return Host.KeepQuiet(); }

    ICheckHost& Select() {
        Host.SelectMailbox(Index);
        return Host;
    }

private:
    bool Single() const { return Checks.Active == 1; }

    TMailboxChecks& Checks;
    ICheckHost& Host;
    const std::size_t Index;
};

TMailboxChecks::TMailboxChecks(ICheckHost& host, std::function<std::string(std::size_t)> titleOf)
    : Host(host), TitleOf(std::move(titleOf)) {
    SetMailboxCount(1);
}

TMailboxChecks::~TMailboxChecks() = default;

void TMailboxChecks::SetMailboxCount(std::size_t count) {
    while (Links.size() < count) Links.push_back(std::make_unique<TLink>(*this, Links.size()));
    Active = std::max<std::size_t>(count, 1);
}

TMailStatus& TMailboxChecks::Status(std::size_t index) { return Links.at(index)->Status; }

void TMailboxChecks::CheckMail(bool userInitiated) {
    for (std::size_t i = 0; i < Active; ++i) Request(i, userInitiated);
    Run();
}

void TMailboxChecks::CheckMailbox(std::size_t index, bool userInitiated) {
    if (index >= Active) return;
    Request(index, userInitiated);
    Run();
}

void TMailboxChecks::RetryDue(std::size_t index) {
    // A check under way reports for itself, and a failure of it continues the series.
    if (index < Active && !Status(index).Busy) CheckMailbox(index, false);
}

void TMailboxChecks::Request(std::size_t index, bool userInitiated) {
    TLink& link = *Links[index];
    // Its own check is connected: its controller's rule, which cancels that check and repeats.
    if (link.Status.Busy) return link.Status.CheckMail(userInitiated);
    link.RequestedByUser = userInitiated || (link.Requested && link.RequestedByUser);
    link.Requested = true;
}

TMailboxChecks::TLink* TMailboxChecks::Waiting(bool TLink::*flag) const {
    for (std::size_t i = 0; i < Active; ++i)
        if ((*Links[i]).*flag) return Links[i].get();
    return nullptr;
}

bool TMailboxChecks::Connected() const {
    return std::any_of(Links.begin(), Links.end(),
                       [](const std::unique_ptr<TLink>& link) { return link->Status.Busy; });
}

// Run again at every level of a nested request: the level whose check was connected carries on
// with the waiting requests once that check has returned.
void TMailboxChecks::Run() {
    while (TLink* link = Waiting(&TLink::Requested)) {
        if (Connected()) return;
        link->Requested = false;
        link->Status.CheckMail(link->RequestedByUser);
    }
    if (!Connected()) TellRound();
}

void TMailboxChecks::CancelMailCheck() {
    for (std::size_t i = 0; i < Active; ++i) Status(i).CancelMailCheck();
}

void TMailboxChecks::Woke() {
    for (std::size_t i = 0; i < Active; ++i) Status(i).Woke();
}

bool TMailboxChecks::HasCheckResult() const {
    for (std::size_t i = 0; i < Active; ++i)
        if (Links[i]->Status.HasCheckResult()) return true;
    return false;
}

std::vector<TMessageSummary> TMailboxChecks::Lines(bool round, std::int32_t& total,
                                                   TCountWording& wording) const {
    std::vector<TMessageSummary> lines;
    total = 0;
    bool first = true;
    for (std::size_t i = 0; i < Active; ++i) {
        const TLink& link = *Links[i];
        if (!(round ? link.Told : link.Status.HasCheckResult())) continue;
        const std::int32_t count = round ? link.ToldCount : link.Status.LastCount;
        const TCountWording counted = round ? link.ToldWording : link.Status.LastWording;
        // Mailboxes that count in different ways are summed as all their messages.
        wording = first || counted == wording ? counted : cwAll;
        first = false;
        if (count <= 0) continue;
        total += count;
        // The count first: a name too long for the line is what its ellipsis cuts.
        lines.push_back({MailMessagesText(count, counted == cwNew), TitleOf(i)});
    }
    return lines;
}

void TMailboxChecks::ShowLastCheck() {
    if (Active == 1) return Status(0).ShowLastCheck();
    TDateTime latest = 0.0;
    for (std::size_t i = 0; i < Active; ++i)
        latest = std::max(latest, Links[i]->Status.LastCheckTime);
    std::int32_t total = 0;
    TCountWording wording = cwAll;
    const std::vector<TMessageSummary> lines = Lines(false, total, wording);
    Host.ShowLastResult(total, latest, wording, lines);
}

void TMailboxChecks::ShowInTray() {
    std::vector<TMailboxCount> withMail;
    TDateTime latest = 0.0;
    TCountWording wording = cwAll;
    for (std::size_t i = 0; i < Active; ++i) {
        const TMailStatus& status = Links[i]->Status;
        if (!status.HasCheckResult()) continue;
        if (status.LastCheckTime >= latest) wording = status.LastWording;
        latest = std::max(latest, status.LastCheckTime);
        if (status.LastCount > 0) withMail.push_back({TitleOf(i), status.LastCount});
    }
    Host.ShowMailboxesInTray(withMail, latest, wording);
}

void TMailboxChecks::TellRound() {
    std::int32_t total = 0;
    TCountWording wording = cwAll;
    const std::vector<TMessageSummary> lines = Lines(true, total, wording);
    bool told = false;
    for (std::size_t i = 0; i < Active; ++i) told |= std::exchange(Links[i]->Told, false);
    if (told) Host.NotifyAfterCheck(total, wording, lines);
}

// One dialog at a time: the level that shows one shows the others' waiting errors after it.
void TMailboxChecks::ReportErrors() {
    if (ShowingError) return;
    ShowingError = true;
    while (TLink* link = Waiting(&TLink::ErrorWaiting)) {
        link->ErrorWaiting = false;
        const std::string message = std::move(link->ErrorMessage);
        try {
            link->Select().ReportMailError(message, link->ErrorKind);
        } catch (...) {
            ShowingError = false;
            throw;
        }
    }
    ShowingError = false;
}
