// The checks nobody asked for: the periodic checks with short intervals, the intervals read from
// the settings, and dial-up connections coming up and going down through the stand-in
// RASAPI32.DLL. Every check runs on the user-interface thread, the test's own.

#include "app/CheckTriggers.win.h"
#include "app/Program.win.h"
#include "framework/Application.win.h"
#include "tests/win/ProgramFixture.h"
#include "tests/win/WindowDriver.h"
#include "tray/TrayStatus.win.h"

#include <gtest/gtest.h>

namespace {

double Milliseconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class CheckTriggersTest : public ProgramFixture {
protected:
    // Waits until the poller has polled `more` times after now.
    void WaitForPolls(LONG more) {
        const LONG target = Fake.Calls("RasEnumConnectionsA") + more;
        EXPECT_TRUE(PumpUntil([&] { return Fake.Calls("RasEnumConnectionsA") >= target; }));
    }
};

}  // namespace

TEST_F(CheckTriggersTest, ThePeriodRunsFromTheEndOfOneCheckToTheStartOfTheNext) {
    constexpr double kInterval = 60, kCheckLength = 80, kClockSlack = 5;
    StartWithBareMainForm();
    std::vector<double> starts, ends;
    Host().DuringCheck = [&] {
        starts.push_back(Milliseconds());
        Application.Pause(static_cast<DWORD>(kCheckLength));
        ends.push_back(Milliseconds());
    };
    const double started = Milliseconds();
    {
        TTimedCheck timed(Program().Checks, std::vector<std::int32_t>{static_cast<std::int32_t>(kInterval)});
        EXPECT_TRUE(PumpUntil([&] { return Host().Checks >= 3; }));
    }

    ASSERT_GE(starts.size(), 3u);
    EXPECT_GE(starts[0] - started, kInterval - kClockSlack) << "one interval after the start";
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - ends[i - 1], kInterval - kClockSlack) << "check " << i;
}

TEST_F(CheckTriggersTest, ACheckHandedOverBeforeTheStopNeverBegins) {
    StartWithBareMainForm();
    auto timed = std::make_unique<TTimedCheck>(Program().Checks, std::vector<std::int32_t>{1});
    // Only timer ticks are served, until the tick's check waits in the queue.
    for (int i = 0; i < 30000 && !(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE); ++i) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
            DispatchMessageA(&msg);
        else
            Sleep(1);
    }
    timed.reset();
    Application.ProcessMessages();
    EXPECT_EQ(Host().Checks, 0);
}

// One timer serves every mailbox: the second, due every millisecond, is checked again and again
// while the first one's hour runs.
TEST_F(CheckTriggersTest, OneTimerChecksEachMailboxOnItsOwnInterval) {
    StartWithBareMainForm();
    Program().Checks.SetMailboxCount(2);
    TTimedCheck timed(Program().Checks, std::vector<std::int32_t>{3600000, 1});
    EXPECT_TRUE(PumpUntil([&] { return Host().Checks >= 3; }));
}

TEST_F(CheckTriggersTest, TheIntervalComesFromTheSettingsAndAnyValueOutOfRangeIsTenMinutes) {
    struct Case {
        bool repeat;
        std::int32_t minutes, interval;
    };
    const Case cases[] = {{true, 10, 600000},  {true, 1, 60000},       {true, 9999, 599940000},
                          {true, 0, 600000},   {true, 100000, 600000}, {true, -1, 600000},
                          {false, 10, 0}};
    StartWithBareMainForm();
    int checks = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minutes) + (c.repeat ? " minutes" : " minutes, no repeat"));
        Settings(false, c.repeat, c.minutes);
        Triggers().ApplyCheckSettings();
        EXPECT_EQ(Host().Checks, ++checks) << "every application of the settings checks";
        EXPECT_EQ(TimedCheck() ? TimedCheck()->Intervals.front() : 0, c.interval);
    }
}

TEST_F(CheckTriggersTest, DialUpConnectionsStartAndStopTheChecks) {
    Settings(true, true, 10);
    StartWithBareMainForm();
    Triggers().ApplyCheckSettings();
    EXPECT_EQ(Host().Checks, 0) << "no connection, no check";
    EXPECT_EQ(TimedCheck(), nullptr);

    bool periodicDuringCheck = true, insideASentMessage = true;
    Host().DuringCheck = [&] {
        periodicDuringCheck = TimedCheck() != nullptr;
        insideASentMessage = InSendMessage() != FALSE;
    };
    Connect(true);
    EXPECT_TRUE(PumpUntil([&] { return Host().Checks == 1; }));
    EXPECT_FALSE(periodicDuringCheck) << "the periodic checks start after the check";
    ASSERT_NE(TimedCheck(), nullptr);
    EXPECT_EQ(TimedCheck()->Intervals.front(), 600000);
    EXPECT_EQ(Host().CheckThreads, std::vector<DWORD>{GetCurrentThreadId()});
    EXPECT_FALSE(insideASentMessage) << "where COM would refuse the file dialogs' calls";
    const std::string hint = Shell.Tips().back();
    EXPECT_EQ(hint, "At 14:30 you had 3 mail messages");

    Connect(false);
    EXPECT_TRUE(PumpUntil([&] { return TimedCheck() == nullptr; }));
    EXPECT_EQ(Shell.Requests.back().Data.uFlags, static_cast<UINT>(NIF_ICON));
    EXPECT_EQ(Shell.Requests.back().Picture, IconPixels(NoMailPicture()));
    EXPECT_EQ(Shell.Tips().back(), hint) << "the hint still tells the last result";

    // Switched to a direct connection: the poller has ended, and connections cause nothing.
    Settings(false, false);
    Triggers().ApplyCheckSettings();
    EXPECT_EQ(Host().Checks, 2);
    const std::size_t requests = Shell.Requests.size();
    const LONG polls = Fake.Calls("RasEnumConnectionsA");
    Connect(true);
    EXPECT_FALSE(DialUpConnected()) << "nobody asks the service";
    Application.ProcessMessages();
    EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), polls);
    EXPECT_EQ(Host().Checks, 2);
    EXPECT_EQ(Shell.Requests.size(), requests);
}

TEST_F(CheckTriggersTest, ADisconnectionDuringAPeriodicCheckStopsThePeriodicChecks) {
    Settings(true, true, 10);
    Connect(true);
    StartWithBareMainForm();
    Triggers().ApplyCheckSettings();
    ASSERT_EQ(Host().Checks, 1) << "connected when the settings took effect";
    Host().DuringCheck = [&] {
        Connect(false);
        // The poller's request is served inside this check, and stops the periodic checks
        // whose own check this is.
        EXPECT_TRUE(PumpUntil([&] { return TimedCheck() == nullptr; }));
    };
    Triggers().StartTimedCheckInterval(1);
    EXPECT_TRUE(PumpUntil([&] { return Host().Checks == 2 && TimedCheck() == nullptr; }));
    Host().DuringCheck = nullptr;
    WaitForPolls(3);
    EXPECT_EQ(Host().Checks, 2) << "no periodic check after the disconnection";
}

TEST_F(CheckTriggersTest, ARequestWaitingWhileThePeriodicChecksStopIsServedOnlyAfterwards) {
    Settings(true, true, 10);
    Connect(true);
    StartWithBareMainForm();
    Triggers().ApplyCheckSettings();
    ASSERT_NE(TimedCheck(), nullptr);
    Connect(false);
    // The poller's request is posted; nothing here handles it yet.
    for (int i = 0; i < 30000 && !(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE); ++i) Sleep(1);
    const std::size_t requests = Shell.Requests.size();
    Triggers().StopTimedCheck();
    EXPECT_EQ(TimedCheck(), nullptr);
    EXPECT_EQ(Shell.Requests.size(), requests) << "the request was served inside the stop";
    EXPECT_TRUE(PumpUntil([&] { return Shell.Requests.size() > requests; }));
    EXPECT_EQ(Shell.Requests.back().Picture, IconPixels(NoMailPicture()));
    EXPECT_EQ(TimedCheck(), nullptr);
}
