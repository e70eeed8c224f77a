// The application's quitting flag ends every wait but the service lookup, and drops the work
// that threads hand over. The flag cannot be lowered again, so the waits meet it in a child run
// of this test program.

#include "framework/Application.win.h"
#include "framework/Thread.win.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

namespace {
const std::string kCanceled = "ECanceledError: Operation has been canceled";
}  // namespace

// Disabled in the ordinary run; the child run asks for it by name.
TEST(QuittingChild, DISABLED_EveryWaitButTheServiceLookupEndsCanceled) {
    ScriptedPop3Server server(Dialogue({"+OK", "+OK", "+OK"}));
    auto loggedIn = LoopbackSession(server.Port());
    loggedIn->Open();
    loggedIn->Login();
    PostQuitMessage(0);
    EXPECT_EQ(Outcome([&] { loggedIn->Stat(); }), kCanceled) << "sending";
    ASSERT_TRUE(Application.Terminated());

    auto lookup = LoopbackSession(0);
    lookup->Server = "localhost";
    EXPECT_EQ(Outcome([&] { lookup->Open(); }), kCanceled) << "host lookup";

    ScriptedPop3Server silent({});
    auto session = LoopbackSession(0);
    session->FixedPort = 0;
    EXPECT_EQ(Outcome([&] { session->Open(); }), "") << "the service lookup ignores quitting";
    EXPECT_EQ(session->Port, 110);
    session->Port = silent.Port();
    EXPECT_EQ(Outcome([&] { session->Login(); }), kCanceled) << "connect";

    // Work handed over once the end has begun is dropped, and its waiter goes on.
    struct HandsOver {
        bool* Ran;
        bool HandedOver = true;
        void Execute(TThread& thread) { HandedOver = thread.HandOver([ran = Ran] { *ran = true; }); }
    };
    bool ran = false;
    TThreadOf<HandsOver> thread(HandsOver{&ran});
    EXPECT_TRUE(thread.WaitFor(30000));
    Application.ProcessMessages();
    EXPECT_FALSE(thread.HandedOver);
    EXPECT_FALSE(ran);
}

TEST(Quitting, EndsTheWaitsOfAChildRun) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const auto [output, exitCode] =
        RunProcess(std::string("\"") + exe +
                   "\" --gtest_also_run_disabled_tests --gtest_filter=QuittingChild.*");
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
    EXPECT_EQ(exitCode, 0u);
}
