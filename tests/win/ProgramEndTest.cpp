// The end of the program while the user-interface thread serves a check that a trigger handed
// over (the periodic checks' timer, or the dial-up poller, which waits in its hand-over): WM_CLOSE
// (to the main form or the application window) and the end of the logon end the program without a
// deadlock (the stop ends the poller's wait), the icon leaves the tray and the poller is joined. An
// end is final for a process, so each runs in a child run of this test program.

#include "framework/Application.win.h"
#include "tests/win/ProgramFixture.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const char kEnded[] = "program ended, icon removed";

class ProgramEndChild : public ProgramFixture {
protected:
    void TearDown() override {}  // the end has released everything

    enum class Trigger { Periodic, Connection };
    enum class Ending { CloseMainForm, CloseApplication, EndOfLogon };

    // Starts the program, and ends it from inside the check that the trigger hands over.
    void EndDuringHandedOverCheck(Trigger trigger, Ending ending) {
        Settings(trigger == Trigger::Connection);
        StartProgram();
        Application.OnEndSession = [this] {
            TheProgram.reset();
            Report();
        };
        Host().DuringCheck = [this, ending] {
            if (ending == Ending::EndOfLogon) {
                SendMessageA(Application.Handle(), WM_ENDSESSION, TRUE, 0);
                ADD_FAILURE() << "the end of the logon returned";
            }
            PostMessageA(ending == Ending::CloseMainForm ? MainWindow() : Application.Handle(),
                         WM_CLOSE, 0, 0);
            EXPECT_FALSE(Application.Pause(30000)) << "the end reaches the check's own wait";
        };
        if (trigger == Trigger::Periodic)
            Triggers().StartTimedCheckInterval(10);
        else
            Connect(true);
        Application.Run();
        TheProgram.reset();
        Report();
    }

    void Report() {
        if (!Shell.Requests.empty() && Shell.Requests.back().Message == NIM_DELETE)
            std::printf("%s\n", kEnded);
        std::fflush(stdout);
    }
};

}  // namespace

// Disabled in the ordinary run; the parent asks for each by name.
TEST_F(ProgramEndChild, DISABLED_CloseMainFormDuringPeriodicCheck) {
    EndDuringHandedOverCheck(Trigger::Periodic, Ending::CloseMainForm);
}
TEST_F(ProgramEndChild, DISABLED_CloseApplicationDuringConnectionCheck) {
    EndDuringHandedOverCheck(Trigger::Connection, Ending::CloseApplication);
}
TEST_F(ProgramEndChild, DISABLED_EndOfLogonDuringPeriodicCheck) {
    EndDuringHandedOverCheck(Trigger::Periodic, Ending::EndOfLogon);
}
TEST_F(ProgramEndChild, DISABLED_EndOfLogonDuringConnectionCheck) {
    EndDuringHandedOverCheck(Trigger::Connection, Ending::EndOfLogon);
}

TEST(ProgramEnd, EndsWithoutDeadlockWhileAHandedOverCheckIsServed) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    for (const char* child :
         {"CloseMainFormDuringPeriodicCheck", "CloseApplicationDuringConnectionCheck",
          "EndOfLogonDuringPeriodicCheck", "EndOfLogonDuringConnectionCheck"}) {
        SCOPED_TRACE(child);
        const auto [output, exitCode] = RunProcess(
            std::string("\"") + exe +
                "\" --gtest_also_run_disabled_tests --gtest_filter=ProgramEndChild.DISABLED_" +
                child,
            60000);
        EXPECT_NE(exitCode, static_cast<DWORD>(WAIT_TIMEOUT)) << "deadlocked\n" << output;
        EXPECT_EQ(exitCode, 0u) << output;
        EXPECT_NE(output.find(kEnded), std::string::npos) << output;
        EXPECT_EQ(output.find("Failure"), std::string::npos) << output;
    }
}
