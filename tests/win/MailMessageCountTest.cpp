// The count job: exactly one callback per run with the right kind, or the exception of a
// malformed reply after the session is gone.

#include "framework/Exception.h"
#include "mailbase/MailMessageCount.win.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Runs a job against 127.0.0.1:port and lists its callbacks.
struct RecordedRun {
    explicit RecordedRun(std::uint16_t port, int timeOut = 5) {
        Job.SetAccount("127.0.0.1", "ann", "secret");
        Job.PortOverride = port;
        Job.TimeOut = timeOut;
        Job.OnSuccess = [this](IMailCountJob* sender, std::int32_t count) {
            EXPECT_EQ(sender, &Job);
            Calls.push_back("success " + std::to_string(count));
        };
        Job.OnError = [this](IMailCountJob* sender, const std::string& message,
                             TMailErrorKind kind) {
            EXPECT_EQ(sender, &Job);
            Calls.push_back("error " + std::to_string(kind) + " " + message);
        };
    }
    std::vector<std::string> Run() {
        Job.Run();
        return Calls;
    }
    TMailMessageCount Job;
    std::vector<std::string> Calls;
};

using Calls = std::vector<std::string>;

}  // namespace

TEST(MailMessageCount, ReportsTheCountOrOneErrorOfEachKind) {
    ScriptedPop3Server three(Dialogue({"+OK", "+OK", "+OK", "+OK 3 99", "+OK"}));
    EXPECT_EQ(RecordedRun(three.Port()).Run(), Calls{"success 3"});

    ScriptedPop3Server refusing(Dialogue({"+OK", "+OK", "-ERR [AUTH] Authentication failed."}));
    EXPECT_EQ(RecordedRun(refusing.Port()).Run(),
              Calls{"error 0 -ERR [AUTH] Authentication failed."});
    refusing.WaitForClientClose(2000);
    EXPECT_EQ(refusing.Received(), (Calls{"USER ann", "PASS secret"})) << "no QUIT after refusal";

    EXPECT_EQ(RecordedRun(ClosedLoopbackPort()).Run(),
              Calls{"error 1 Connection to mail server refused"});

    ScriptedPop3Server silent({});
    EXPECT_EQ(RecordedRun(silent.Port(), 1).Run(), Calls{"error 2 Operation timed out"});
}

TEST(MailMessageCount, CancelEndsARunningDialogueOnlyWhileItRuns) {
    ScriptedPop3Server silent({});
    RecordedRun run(silent.Port(), 0);
    run.Job.Cancel();
    EXPECT_FALSE(run.Job.Canceled) << "before the run";

    WaitHook hook;
    hook.RunInsideNextWait([&] { run.Job.Cancel(); });
    EXPECT_EQ(run.Run(), Calls{"error 3 Operation has been canceled"});
    EXPECT_TRUE(run.Job.Canceled);

    TMailMessageCount after;
    after.Cancel();
    EXPECT_FALSE(after.Canceled);
}

TEST(MailMessageCount, AMalformedStatReplyPassesThroughAfterTheSessionIsClosed) {
    ScriptedPop3Server server(Dialogue({"+OK", "+OK", "+OK", "+OK 3 many"}));
    RecordedRun run(server.Port());
    try {
        run.Job.Run();
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'many' is not a valid integer value");
    }
    EXPECT_TRUE(run.Calls.empty());
    EXPECT_TRUE(server.WaitForClientClose(2000));
    EXPECT_EQ(server.Received(), (Calls{"USER ann", "PASS secret", "STAT"}));
}

TEST(MailMessageCount, RunsTheWholeDialogueWithoutCallbacks) {
    ScriptedPop3Server server(Dialogue({"+OK", "+OK", "+OK", "+OK 2 10", "+OK"}));
    TMailMessageCount job;
    job.SetAccount("127.0.0.1", "ann", "secret");
    job.PortOverride = server.Port();
    job.Run();
    EXPECT_EQ(job.Count, 2);
    server.WaitForClientClose(2000);
    EXPECT_EQ(server.Received(), (Calls{"USER ann", "PASS secret", "STAT", "QUIT"}));
}
