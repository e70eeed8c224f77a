#include "app/MailboxChecks.h"

#include <algorithm>

#include "tray/CountText.h"

// A mailbox's controller and the host it sees: the program's, with the mailbox selected for the
// calls that concern it, and with what is told of the result gathered for all mailboxes once
// there are several.
class TMailboxChecks::TLink : public ICheckHost {
public:
    TLink(TMailboxChecks& checks, std::size_t index)
        : Status(*this), Checks(checks), Host(checks.Host), Index(index) {}

    TMailStatus Status;

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
        Checks.Tell({Index, count, wording, newest});
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
        Checks.ReportError({Index, message, kind});
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

private:
    ICheckHost& Select() {
        Host.SelectMailbox(Index);
        return Host;
    }
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
    // Its own check is connected: its controller's rule, which cancels that check and repeats.
    if (Status(index).Busy) return Status(index).CheckMail(userInitiated);
    for (TRequest& waiting : Queue) {
        if (waiting.Index != index) continue;
        waiting.UserInitiated |= userInitiated;
        return;
    }
    Queue.push_back({index, userInitiated});
}

bool TMailboxChecks::Connected() const {
    return std::any_of(Links.begin(), Links.end(),
                       [](const std::unique_ptr<TLink>& link) { return link->Status.Busy; });
}

// Run again at every level of a nested request: the level whose check was connected carries on
// with the queue once that check has returned.
void TMailboxChecks::Run() {
    while (!Queue.empty() && !Connected()) {
        const TRequest next = Queue.front();
        Queue.erase(Queue.begin());
        if (next.Index < Active) Status(next.Index).CheckMail(next.UserInitiated);
    }
    if (Queue.empty() && !Connected() && !Told.empty()) TellRound();
}

void TMailboxChecks::CancelMailCheck() {
    for (std::size_t i = 0; i < Active; ++i) Status(i).CancelMailCheck();
}

void TMailboxChecks::Woke() {
    for (std::size_t i = 0; i < Active; ++i) Status(i).Woke();
}

bool TMailboxChecks::HasCheckResult() const {
    return std::any_of(Links.begin(), Links.begin() + static_cast<std::ptrdiff_t>(Active),
                       [](const std::unique_ptr<TLink>& link) {
                           return link->Status.HasCheckResult();
                       });
}

std::vector<TMessageSummary> TMailboxChecks::Lines(const std::vector<TTold>& results,
                                                   std::int32_t& total,
                                                   TCountWording& wording) const {
    std::vector<TMessageSummary> lines;
    total = 0;
    wording = results.empty() ? cwAll : results.front().Wording;
    for (const TTold& result : results) {
        // Mailboxes that count in different ways are summed as all their messages.
        if (result.Wording != wording) wording = cwAll;
        if (result.Count <= 0) continue;
        total += result.Count;
        lines.push_back(
            {TitleOf(result.Index), MailMessagesText(result.Count, result.Wording == cwNew)});
        lines.insert(lines.end(), result.Newest.begin(), result.Newest.end());
    }
    return lines;
}

void TMailboxChecks::ShowLastCheck() {
    if (Active == 1) return Status(0).ShowLastCheck();
    std::vector<TTold> results;
    TDateTime latest = 0.0;
    for (std::size_t i = 0; i < Active; ++i) {
        const TMailStatus& status = Status(i);
        if (!status.HasCheckResult()) continue;
        latest = std::max(latest, status.LastCheckTime);
        results.push_back({i, status.LastCount, status.LastWording, status.LastNewest});
    }
    std::int32_t total = 0;
    TCountWording wording = cwAll;
    const std::vector<TMessageSummary> lines = Lines(results, total, wording);
    Host.ShowLastResult(total, latest, wording, lines);
}

void TMailboxChecks::ShowInTray() {
    std::vector<TMailboxCount> withMail;
    TDateTime latest = 0.0;
    TCountWording wording = cwAll;
    for (std::size_t i = 0; i < Active; ++i) {
        const TMailStatus& status = Status(i);
        if (!status.HasCheckResult()) continue;
        if (status.LastCheckTime >= latest) wording = status.LastWording;
        latest = std::max(latest, status.LastCheckTime);
        if (status.LastCount > 0) withMail.push_back({TitleOf(i), status.LastCount});
    }
    Host.ShowMailboxesInTray(withMail, latest, wording);
}

void TMailboxChecks::Tell(TTold told) {
    // A mailbox checked again in the same round tells its newer result only.
    Told.erase(std::remove_if(Told.begin(), Told.end(),
                              [&](const TTold& t) { return t.Index == told.Index; }),
               Told.end());
    Told.push_back(std::move(told));
}

void TMailboxChecks::TellRound() {
    std::vector<TTold> told = std::move(Told);
    Told.clear();
    std::sort(told.begin(), told.end(),
              [](const TTold& a, const TTold& b) { return a.Index < b.Index; });
    std::int32_t total = 0;
    TCountWording wording = cwAll;
    const std::vector<TMessageSummary> lines = Lines(told, total, wording);
    Host.NotifyAfterCheck(total, wording, lines);
}

// One dialog at a time; a mailbox's newer error replaces its waiting one.
void TMailboxChecks::ReportError(TError error) {
    for (TError& waiting : Errors) {
        if (waiting.Index != error.Index) continue;
        waiting = std::move(error);
        return;
    }
    Errors.push_back(std::move(error));
    if (ShowingError) return;
    ShowingError = true;
    while (!Errors.empty()) {
        const TError next = std::move(Errors.front());
        Errors.erase(Errors.begin());
        Host.SelectMailbox(next.Index);
        try {
            Host.ReportMailError(next.Message, next.Kind);
        } catch (...) {
            ShowingError = false;
            throw;
        }
    }
    ShowingError = false;
}
