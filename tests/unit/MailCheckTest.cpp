// The check controller driven by scripted jobs: each job plays one scripted outcome, possibly
// after running handlers "inside" its dialogue the way a real session's waits would.

#include "app/MailCheck.h"
#include "app/MailboxChecks.h"
#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <sstream>
#include <vector>

namespace {

struct Script {
    enum Outcome { Success, Failure, Throw } outcome = Success;
    std::int32_t count = 0;
    std::string message;
    TMailErrorKind kind = mekMail;
    // Runs inside Run before the outcome, like a handler run by a session's wait.
    std::function<void()> during;
    // The dialogue had already finished when the cancel came.
    bool cancelTooLate = false;
    // What the job found of new mail, when it was asked to look.
    TNewMail news;
};

class RecordingHost;

class ScriptedJob : public IMailCountJob {
public:
    ScriptedJob(RecordingHost& host, Script script) : Host(host), S(std::move(script)) {}
    ~ScriptedJob() override;
    void SetAccount(const std::string& server, const std::string& user,
                    const std::string& password) override;
    void Run() override;
    void Cancel() override;

private:
    RecordingHost& Host;
    Script S;
    bool Running = false;
    bool CancelRequested = false;
};

class RecordingHost : public ICheckHost {
public:
    bool SettingsComplete() override { return Complete; }
    MailAccount Account() override { return {"pop.example", "ann", "secret"}; }
    std::unique_ptr<IMailCountJob> CreateJob() override {
        Script s;
        if (!Scripts.empty()) {
            s = Scripts.front();
            Scripts.pop_front();
        }
        ++JobsCreated;
        return std::make_unique<ScriptedJob>(*this, s);
    }
    int ShowSettingsPrompt() override {
        Log("prompt");
        if (DuringPrompt) DuringPrompt();
        return PromptResult;
    }
    void OpenPropertiesDialog(int page) override {
        Log("properties " + std::to_string(page));
        if (CompleteOnProperties) Complete = true;
        if (DuringProperties) DuringProperties();
    }
    void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) override {
        std::ostringstream s;
        s << "tray " << count << Words(wording) << " at " << time;
        Log(s.str());
    }
    void NotifyAfterCheck(std::int32_t count, TCountWording wording,
                          const std::vector<TMessageSummary>& newest) override {
        std::string line = "notify " + std::to_string(count) + Words(wording);
        for (const TMessageSummary& m : newest) line += ", " + m.From + ": " + m.Subject;
        Log(line);
        if (DuringNotify) {
            auto handler = std::move(DuringNotify);
            DuringNotify = nullptr;
            handler();
        }
    }
    void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                        const std::vector<TMessageSummary>& newest) override {
        std::ostringstream s;
        s << "popup " << count << Words(wording) << " at " << time;
        if (!newest.empty()) s << " listing " << newest.size();
        Log(s.str());
    }
    bool OnlyNewMail() override { return OnlyNew; }
    TSeenIds LoadSeen(const std::string& server, const std::string& user) override {
        Log("load " + server + " " + user);
        return Saved;
    }
    void SaveSeen(const std::string& server, const std::string& user,
                  const std::vector<std::string>& ids) override {
        std::string line = "save " + server + " " + user;
        for (const std::string& id : ids) line += " " + id;
        Log(line);
        Saved = TSeenIds(ids.begin(), ids.end());
    }
    static std::string Words(TCountWording wording) {
        return wording == cwNew ? " new" : wording == cwAllNotNew ? " all-not-new" : "";
    }
    void ReportMailError(const std::string& message, TMailErrorKind kind) override {
        Log("error " + std::to_string(kind) + " " + message);
    }
    void ReportProgramFailure(std::exception_ptr failure) override {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            Log(std::string("program failure ") + e.what());
        }
    }
    void ProcessMessages() override { Log("messages"); }
    bool Pause(int ms) override {
        Log("pause " + std::to_string(ms));
        if (DuringPause) {
            auto handler = std::move(DuringPause);
            DuringPause = nullptr;
            handler();
        }
        return !Quitting;
    }
    TDateTime Now() override { return Clock += 1.0; }
    std::uint32_t Ticks() override { return TickCount; }
    void StartRetryTimer(std::uint32_t ms) override {
        RetryTimer = ms;
        Log("retry in " + std::to_string(ms));
    }
    // Every check stops it: not logged, so that the logs show the checks.
    void StopRetryTimer() override { RetryTimer = 0; }
    bool KeepQuiet() override { return Quiet; }

    void Log(const std::string& line) { Events.push_back(line); }

    bool Complete = true;
    bool CompleteOnProperties = false;
    int PromptResult = 2;
    bool Quitting = false;
    TDateTime Clock = 100.0;
    std::uint32_t TickCount = 0;
    std::uint32_t RetryTimer = 0;  // the pending retry's pause, 0 when none waits
    bool Quiet = false;
    int JobsCreated = 0;
    int JobsAlive = 0;
    std::deque<Script> Scripts;
    std::function<void()> DuringPrompt, DuringProperties, DuringPause, DuringNotify;
    bool OnlyNew = false;
    TSeenIds Saved;
    std::vector<std::string> Events;
};

ScriptedJob::~ScriptedJob() {
    EXPECT_FALSE(Running) << "a job was freed while its Run was active";
    --Host.JobsAlive;
    Host.Log("job freed");
}

void ScriptedJob::SetAccount(const std::string& server, const std::string& user,
                             const std::string& password) {
    ++Host.JobsAlive;
    Host.Log("account " + server + " " + user + " " + password);
}

void ScriptedJob::Run() {
    Running = true;
    Host.Log(OnlyNew ? "run knowing " + std::to_string(Seen.size()) : "run");
    if (OnlyNew) News = S.news;
    if (S.during) S.during();
    Running = false;
    if (CancelRequested) {
        if (OnError) OnError(this, "Operation has been canceled", mekCanceled);
        return;
    }
    switch (S.outcome) {
        case Script::Success:
            if (OnSuccess) OnSuccess(this, S.count);
            break;
        case Script::Failure:
            if (OnError) OnError(this, S.message, S.kind);
            break;
        case Script::Throw:
            throw EConvertError(S.message);
    }
}

void ScriptedJob::Cancel() {
    Host.Log("cancel");
    if (Running && !S.cancelTooLate) CancelRequested = true;
}

Script Succeeds(std::int32_t count) {
    Script s;
    s.count = count;
    return s;
}

Script Fails(TMailErrorKind kind, const std::string& message) {
    Script s;
    s.outcome = Script::Failure;
    s.message = message;
    s.kind = kind;
    return s;
}

class MailCheck : public ::testing::Test {
protected:
    RecordingHost host;
    TMailStatus status{host};

    std::vector<std::string> Events() const { return host.Events; }
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(MailCheck, SuccessStoresTheResultShowsItAndNotifiesOnlyWhenMailOrAsked) {
    host.Scripts = {Succeeds(3), Succeeds(0), Succeeds(0)};
    EXPECT_FALSE(status.HasCheckResult());

    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "tray 3 at 101",
                               "notify 3", "job freed"}));
    EXPECT_EQ(status.LastCount, 3);
    EXPECT_EQ(status.LastCheckTime, 101.0);
    EXPECT_TRUE(status.HasCheckResult());
    EXPECT_FALSE(status.Busy);
    EXPECT_EQ(status.FMailMessageCount, nullptr);

    host.Events.clear();
    status.CheckMail(false);  // nobody asked and nothing waits: the tray only
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "tray 0 at 102",
                               "job freed"}));

    host.Events.clear();
    status.CheckMail(true);  // the user asked: told even of an empty mailbox
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "tray 0 at 103",
                               "notify 0", "job freed"}));
    EXPECT_EQ(host.JobsAlive, 0);
}

TEST_F(MailCheck, FailuresAreRoutedByKindAndLeaveTheLastResultAlone) {
    host.Scripts = {Succeeds(2), Fails(mekMail, "-ERR [AUTH] Authentication failed."),
                    Fails(mekSocket, "Connection to mail server refused"),
                    Fails(mekTimedOut, "Operation timed out"),
                    Fails(mekCanceled, "Operation has been canceled"),
                    Fails(static_cast<TMailErrorKind>(7), "strange")};
    status.CheckMail(true);
    host.Events.clear();
    for (int i = 0; i < 5; ++i) status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{
        "account pop.example ann secret", "run", "error 0 -ERR [AUTH] Authentication failed.",
        "job freed",
        "account pop.example ann secret", "run", "error 1 Connection to mail server refused",
        "job freed",
        "account pop.example ann secret", "run", "job freed",  // time-out: dropped
        "account pop.example ann secret", "run", "job freed",  // cancel without a waiting request
        "account pop.example ann secret", "run", "job freed",  // unknown kind: nothing
    }));
    EXPECT_EQ(status.LastCount, 2);
    EXPECT_EQ(status.LastCheckTime, 101.0);
    EXPECT_FALSE(status.Busy);
}

TEST_F(MailCheck, NoResultBeforeTheFirstSuccessEvenAfterFailures) {
    host.Scripts = {Fails(mekMail, "-ERR no"), Fails(mekTimedOut, "Operation timed out")};
    status.CheckMail(true);
    status.CheckMail(true);
    EXPECT_FALSE(status.HasCheckResult());
    host.Events.clear();
    status.ShowLastCheck();
    EXPECT_EQ(Events(), (Lines{"popup 0 at 0"}));
}

TEST_F(MailCheck, IncompleteSettingsOfferThePromptAndEnterLaterEndsTheRequestSilently) {
    host.Complete = false;
    host.PromptResult = 2;
    status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"prompt"}));
    EXPECT_EQ(host.JobsCreated, 0);
    EXPECT_FALSE(status.PromptOpen);
}

TEST_F(MailCheck, EnterNowOpensTheMailboxPageAndTheCompletedRequestThenChecks) {
    host.Complete = false;
    host.PromptResult = 1;
    host.CompleteOnProperties = true;
    host.Scripts = {Succeeds(1), Succeeds(1)};
    // Confirming the Properties dialog applies the settings, which checks on its own.
    host.DuringProperties = [&] {
        EXPECT_TRUE(status.PromptOpen);
        status.CheckMail(false);
    };
    status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"prompt", "properties 1",
                               "account pop.example ann secret", "run", "tray 1 at 101",
                               "notify 1", "job freed",
                               "account pop.example ann secret", "run", "tray 1 at 102",
                               "notify 1", "job freed"}));
    EXPECT_FALSE(status.PromptOpen);
}

TEST_F(MailCheck, OnlyOnePromptAtATimeAndARequestMeanwhileIsNotQueued) {
    host.Complete = false;
    host.DuringPrompt = [&] {
        status.PromptForSettings();  // the settings timer's own request
        status.CheckMail(false);     // a timed request while the prompt is up
    };
    status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"prompt"}));
    EXPECT_FALSE(status.PromptOpen);
}

TEST_F(MailCheck, PromptFlagIsClearedWhenThePromptFails) {
    host.Complete = false;
    host.DuringPrompt = [] { throw Exception("no resources"); };
    EXPECT_THROW(status.CheckMail(true), Exception);
    EXPECT_FALSE(status.PromptOpen);
}

TEST_F(MailCheck, ARequestDuringACheckCancelsItAndRunsAfterTheCancellationWithTheNewerFlag) {
    Script first = Succeeds(5);
    first.during = [&] {
        EXPECT_TRUE(status.Busy);
        status.CheckMail(true);  // a double click handled by the running check's wait
        EXPECT_TRUE(status.RecheckPending);
        EXPECT_TRUE(status.Busy);
    };
    host.Scripts = {first, Succeeds(0)};
    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{
        "account pop.example ann secret", "run", "cancel", "messages",
        // the cancelled job reports; its callback re-issues the waiting request at once
        "account pop.example ann secret", "run", "tray 0 at 101", "notify 0", "job freed",
        "job freed"}));
    EXPECT_FALSE(status.RecheckPending);
    EXPECT_FALSE(status.Busy);
    EXPECT_TRUE(status.UserInitiated);
    EXPECT_EQ(status.LastCount, 0);
}

TEST_F(MailCheck, ACancelThatComesTooLateLeavesAStaleRecheckForALaterCancellation) {
    // The job reports success in spite of the cancel: the waiting request is not re-issued.
    Script first = Succeeds(4);
    first.cancelTooLate = true;
    first.during = [&] { status.CheckMail(false); };
    host.Scripts = {first};
    status.CheckMail(true);
    EXPECT_TRUE(status.RecheckPending);
    EXPECT_EQ(host.JobsCreated, 1);
    // The next cancelled job releases the stale request.
    Script cancelled = Fails(mekCanceled, "Operation has been canceled");
    host.Scripts = {cancelled, Succeeds(6)};
    status.CheckMail(false);
    EXPECT_FALSE(status.RecheckPending);
    EXPECT_EQ(host.JobsCreated, 3);
    EXPECT_EQ(status.LastCount, 6);
}

TEST_F(MailCheck, CancelAndCancelMailCheckWithNoRunningJob) {
    status.Cancel();
    status.CancelMailCheck();
    EXPECT_EQ(Events(), (Lines{"messages"}));
}

TEST_F(MailCheck, TheExitActionCancelsTheRunningCheckSilently) {
    Script running = Succeeds(1);
    running.during = [&] { status.CancelMailCheck(); };
    host.Scripts = {running};
    status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "cancel", "messages",
                               "job freed"}));
    EXPECT_FALSE(status.HasCheckResult());
}

TEST_F(MailCheck, ABusyNameServerIsAskedAgainAfterThePauseOutsideTheCallback) {
    host.Scripts = {Fails(mekSocket, "DNS server busy, try again later"), Succeeds(2)};
    status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "job freed",
                               "pause 2000",
                               "account pop.example ann secret", "run", "tray 2 at 101",
                               "notify 2", "job freed"}));
    EXPECT_TRUE(status.UserInitiated);
}

TEST_F(MailCheck, ABusyNameServerIsRetriedThreeTimesThenReportedAsANetworkFailure) {
    const Script busy = Fails(mekSocket, "DNS server busy, try again later");
    host.Scripts = {busy, busy, busy, busy, busy};
    status.CheckMail(false);
    EXPECT_EQ(host.JobsCreated, 4);
    int pauses = 0;
    for (const auto& e : Events()) pauses += e == "pause 2000";
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(Events().back(), "job freed");
    EXPECT_EQ(Events()[Events().size() - 2], "error 1 DNS server busy, try again later");
    EXPECT_EQ(host.JobsAlive, 0);

    // A new request has its own three retries.
    host.Events.clear();
    host.Scripts = {busy, Succeeds(1)};
    status.CheckMail(false);
    EXPECT_EQ(host.JobsCreated, 6);
    EXPECT_EQ(status.LastCount, 1);
}

TEST_F(MailCheck, TheDnsTextMustMatchExactly) {
    host.Scripts = {Fails(mekSocket, "dns server busy"), Fails(mekMail, "DNS server busy")};
    status.CheckMail(false);
    status.CheckMail(false);
    EXPECT_EQ(host.JobsCreated, 2);
    EXPECT_EQ(Events()[2], "error 1 dns server busy");
    EXPECT_EQ(Events()[6], "error 0 DNS server busy");
}

TEST_F(MailCheck, ARetryIsDroppedWhenTheProgramQuitsOrANewerCheckRanDuringThePause) {
    const Script busy = Fails(mekSocket, "DNS server busy, try again later");
    host.Scripts = {busy};
    host.Quitting = true;
    status.CheckMail(false);
    EXPECT_EQ(host.JobsCreated, 1);

    host.Quitting = false;
    host.Scripts = {busy, Succeeds(8)};
    host.DuringPause = [&] { status.CheckMail(true); };
    status.CheckMail(false);
    EXPECT_EQ(host.JobsCreated, 3);  // the busy one and the user's; no retry after them
    EXPECT_EQ(status.LastCount, 8);
}

TEST_F(MailCheck, AFailureOutsideTheFourKindsEndsTheCheckAndIsReportedAsTheProgramsOwn) {
    Script malformed;
    malformed.outcome = Script::Throw;
    malformed.message = "'3 1200 octets' is not a valid integer value";
    host.Scripts = {malformed, Succeeds(3)};
    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "job freed",
                               "program failure '3 1200 octets' is not a valid integer value"}));
    EXPECT_FALSE(status.Busy);
    EXPECT_EQ(status.FMailMessageCount, nullptr);
    status.CheckMail(false);  // the next request checks again
    EXPECT_EQ(status.LastCount, 3);
}

TEST_F(MailCheck, OnlyNewMailTellsTheNewCountAndSavesTheIdsOnceTheUserWasTold) {
    host.OnlyNew = true;
    host.Saved = {"a"};
    Script fresh = Succeeds(3), nothingNew = Succeeds(3), noUidl = Succeeds(3);
    fresh.news = {true, true, 2, {"a", "b", "c"}, {{"Alice", "Lunch?"}, {"Bob", ""}}};
    nothingNew.news = {true, true, 0, {"a", "b", "c"}, {}};
    noUidl.news = {true, false, 0, {}, {}};
    host.Scripts = {fresh, nothingNew, noUidl};

    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "load pop.example ann",
                               "run knowing 1", "tray 2 new at 101",
                               "notify 2 new, Alice: Lunch?, Bob: ",
                               "save pop.example ann a b c", "job freed"}));
    host.Events.clear();
    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "load pop.example ann",
                               "run knowing 3", "tray 0 new at 102",
                               "save pop.example ann a b c", "job freed"}));
    // Without UIDL the plain count stands, and nothing is saved as seen.
    host.Events.clear();
    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "load pop.example ann",
                               "run knowing 3", "tray 3 all-not-new at 103",
                               "notify 3 all-not-new", "job freed"}));
    host.Events.clear();
    status.ShowLastCheck();
    EXPECT_EQ(Events(), (Lines{"popup 3 all-not-new at 103"}));
    host.Scripts = {fresh};
    status.CheckMail(false);
    host.Events.clear();
    status.ShowLastCheck();
    EXPECT_EQ(Events(), (Lines{"popup 2 new at 104 listing 2"}));
}

TEST_F(MailCheck, ACheckFinishedWhileTheWindowWasUpKeepsItsNewerSeenIds) {
    host.OnlyNew = true;
    Script first = Succeeds(1), second = Succeeds(2);
    first.news = {true, true, 1, {"a"}, {}};
    second.news = {true, true, 2, {"a", "b"}, {}};
    host.Scripts = {first, second};
    host.DuringNotify = [this] { status.CheckMail(false); };
    status.CheckMail(false);
    EXPECT_EQ(host.Saved, (TSeenIds{"a", "b"}));
    EXPECT_EQ(std::count_if(host.Events.begin(), host.Events.end(),
                            [](const std::string& e) { return e.rfind("save", 0) == 0; }),
              1);
}

// Each step is a check, after the ticks since the previous one (the first: since the event),
// and what it shows: the retry, the error, or the tray for a success.
TEST_F(MailCheck, UnrequestedNetworkFailuresWithinTwoMinutesOfTheEventAreRetriedQuietly) {
    struct Step {
        std::uint32_t after;
        Script outcome;
        const char* line;
    };
    struct Case {
        const char* what;
        bool woke, user;
        std::vector<Step> steps;
    };
    const Script refused = Fails(mekSocket, "Connection to mail server refused");
    const char* const shownRefused = "error 1 Connection to mail server refused";
    const Case cases[] = {
        {"refused, retried until a success, then a new series runs past the two minutes",
         true,
         false,
         {{3000, refused, "retry in 5000"},
          {5000, refused, "retry in 15000"},
          {15000, Succeeds(0), "tray 0 at 101"},
          {96999, refused, "retry in 5000"},  // the last tick of the two minutes
          {60000, refused, "retry in 15000"},
          {60000, refused, "retry in 45000"},
          {60000, refused, shownRefused}}},
        {"time-out, never shown", true, false,
         {{0, Fails(mekTimedOut, "Operation timed out"), "retry in 5000"}}},
        {"two minutes after", true, false, {{120000, refused, shownRefused}}},
        {"no event", false, false,
         {{0, Fails(mekSocket, "The mail server name is incorrect"),
           "error 1 The mail server name is incorrect"}}},
        {"asked by the user", true, true,
         {{0, Fails(mekSocket, "The mail server is unreachable"),
           "error 1 The mail server is unreachable"}}},
        {"sign-in refused", true, false,
         {{0, Fails(mekMail, "-ERR [AUTH] Authentication failed."),
           "error 0 -ERR [AUTH] Authentication failed."}}},
        {"certificate", true, false,
         {{0, Fails(mekSocket, "The mail server's certificate is not trusted."),
           "error 1 The mail server's certificate is not trusted."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingHost fresh;
        TMailStatus checks(fresh);
        fresh.TickCount = 0xFFFFF000u;  // the two minutes pass the wrap of the tick count
        if (c.woke) checks.Woke();
        for (const Step& s : c.steps) {
            SCOPED_TRACE(s.line);
            fresh.Scripts = {s.outcome};
            fresh.Events.clear();
            fresh.TickCount += s.after;
            checks.CheckMail(c.user);
            ASSERT_EQ(fresh.Events.size(), 4u);
            EXPECT_EQ(fresh.Events[2], s.line);
            // A check stands in for the retry that waited.
            EXPECT_EQ(fresh.RetryTimer != 0, std::string(s.line).rfind("retry", 0) == 0);
        }
    }
}

TEST_F(MailCheck, QuietKeepsTheOutcomeOfUnrequestedChecksInTheTray) {
    host.Quiet = true;
    host.Scripts = {Succeeds(3), Fails(mekMail, "-ERR [AUTH] Authentication failed."), Succeeds(3),
                    Fails(mekMail, "-ERR [AUTH] Authentication failed.")};
    status.CheckMail(false);
    status.CheckMail(false);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "tray 3 at 101",
                               "job freed", "account pop.example ann secret", "run",
                               "job freed"}));
    host.Events.clear();
    status.CheckMail(true);  // the user's own request is never quiet
    status.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "run", "tray 3 at 102",
                               "notify 3", "job freed", "account pop.example ann secret", "run",
                               "error 0 -ERR [AUTH] Authentication failed.", "job freed"}));
}

namespace {

// Two mailboxes, "Work" (ann) and "Home" (bob), behind the program's one host.
class MailboxesHost : public RecordingHost {
public:
    void SelectMailbox(std::size_t index) override { Selected = index; }
    MailAccount Account() override { return {"pop.example", Selected ? "bob" : "ann", "secret"}; }
    void ShowMailboxesInTray(const std::vector<TMailboxCount>& withMail, TDateTime time,
                             TCountWording) override {
        std::ostringstream s;
        s << "tray";
        for (const TMailboxCount& box : withMail) s << " " << box.Title << " " << box.Count;
        s << " at " << time;
        Log(s.str());
    }
    void ReportMailError(const std::string& message, TMailErrorKind) override {
        Log("error of " + std::to_string(Selected) + " " + message);
        if (DuringError) std::exchange(DuringError, nullptr)();
    }
    std::size_t Selected = 0;
    std::function<void()> DuringError;
};

class MailboxChecks : public ::testing::Test {
protected:
    void SetUp() override { checks.SetMailboxCount(2); }

    std::vector<std::string> Events() const { return host.Events; }

    MailboxesHost host;
    TMailboxChecks checks{host, [](std::size_t i) { return std::string(i ? "Home" : "Work"); }};
};

}  // namespace

TEST_F(MailboxChecks, EachMailboxInTurnAndWhatTheRoundFoundToldOnceAtItsEnd) {
    Script work = Succeeds(3);
    work.news = {true, true, 2, {"a", "b", "c"}, {{"Al", "Hi"}}};
    Script home = Succeeds(5);
    home.news = {true, true, 0, {"d"}, {}};
    host.OnlyNew = true;
    host.Scripts = {work, home};
    checks.CheckMail(true);
    EXPECT_EQ(Events(), (Lines{"account pop.example ann secret", "load pop.example ann",
                               "run knowing 0", "tray Work 2 at 101", "save pop.example ann a b c",
                               "job freed", "account pop.example bob secret",
                               "load pop.example bob", "run knowing 3", "tray Work 2 at 102",
                               "save pop.example bob d", "job freed",
                               "notify 2 new, 2 new mail messages: Work"}));
    host.Events.clear();
    checks.ShowLastCheck();
    EXPECT_EQ(Events(), (Lines{"popup 2 new at 102 listing 1"}));
}

// Never two connections: a request that comes during a check waits for its end, one for the
// mailbox being checked goes to its own controller, and only a connection holds the queue back.
TEST_F(MailboxChecks, RequestsWaitForTheConnectionButNotForAWindow) {
    Script work = Succeeds(1);
    work.during = [&] {
        checks.CheckMailbox(1, false);
        checks.CheckMailbox(1, true);
        checks.CheckMailbox(0, false);
        EXPECT_EQ(host.JobsAlive, 1);
    };
    Script home = Succeeds(4);
    host.Scripts = {work, Succeeds(1), home};
    host.DuringNotify = [&] { checks.CheckMailbox(1, false); };
    checks.CheckMailbox(0, false);
    EXPECT_EQ(Events(), (Lines{
        "account pop.example ann secret", "run", "cancel", "messages",
        "account pop.example ann secret", "run", "tray Work 1 at 101", "job freed", "job freed",
        "account pop.example bob secret", "run", "tray Work 1 Home 4 at 102", "job freed",
        "notify 5, 1 mail message: Work, 4 mail messages: Home",
        "account pop.example bob secret", "run", "tray Work 1 at 103", "job freed"}));
}

TEST_F(MailboxChecks, OneErrorDialogAtATimeAndEachMailboxsLatestWaits) {
    host.Scripts = {Fails(mekMail, "-ERR work"), Fails(mekMail, "-ERR home"),
                    Fails(mekSocket, "home again")};
    host.DuringError = [&] {
        checks.CheckMailbox(1, true);
        checks.CheckMailbox(1, true);
    };
    checks.CheckMailbox(0, true);
    const Lines errors = [&] {
        Lines shown;
        for (const std::string& e : host.Events)
            if (e.rfind("error", 0) == 0) shown.push_back(e);
        return shown;
    }();
    EXPECT_EQ(errors, (Lines{"error of 0 -ERR work", "error of 1 home again"}));
}
