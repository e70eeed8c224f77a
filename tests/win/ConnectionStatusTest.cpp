// The connection status poller on its own thread over the stand-in RASAPI32.DLL. A short poll
// period stands in for the ten seconds; progress is read from the library's call counts, never
// from the clock.

#include <gtest/gtest.h>

#include <atomic>

#include "dialup/ConnectionStatus.win.h"
#include "framework/Application.win.h"
#include "framework/Exception.h"
#include "tests/support/TestThread.h"
#include "tests/win/RasFake.h"
#include "tests/win/WindowDriver.h"


namespace {

constexpr DWORD Quick = 2;
constexpr DWORD OneHour = 3600 * 1000;

class ConnectionStatusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Fake.Loaded()); }

    // Waits until the poller has begun `more` polls after now; the first of them began after
    // any change the test made before calling this, and all but the last have ended.
    void WaitForPolls(LONG more) {
        const LONG target = Fake.Calls("RasEnumConnectionsA") + more;
        for (int i = 0; i < 30000 && Fake.Calls("RasEnumConnectionsA") < target; ++i) Sleep(1);
        ASSERT_GE(Fake.Calls("RasEnumConnectionsA"), target) << "the poller stopped polling";
    }

    void Record(TConnectionStatus& poller) {
        poller.Monitor().SetOnConnected([this, &poller](TConnectionStatus* sender) {
            EXPECT_EQ(sender, &poller);
            ++Connected;
        });
        poller.Monitor().SetOnDisconnected([this](TConnectionStatus*) { ++Disconnected; });
    }

    const TRasBinding& Binding = BoundRasLibrary();
    RasFake Fake{"RASAPI32.DLL"};
    std::atomic<int> Connected{0}, Disconnected{0};
};

TEST_F(ConnectionStatusTest, EachChangeIsReportedOnceWithinOnePoll) {
    TConnectionPoller poller(Binding, Quick);
    Record(poller);
    WaitForPolls(2);
    Fake.SetConnections({{"isp", RasStateAuthenticate}});
    WaitForPolls(2);
    EXPECT_EQ(Connected, 0) << "still dialing";
    Fake.SetConnections({{"isp", RasStateConnected}});
    WaitForPolls(2);
    EXPECT_EQ(Connected, 1);
    WaitForPolls(3);
    EXPECT_EQ(Connected, 1);
    EXPECT_EQ(Disconnected, 0);
    Fake.SetConnections({});
    WaitForPolls(2);
    EXPECT_EQ(Disconnected, 1);
    WaitForPolls(3);
    EXPECT_EQ(Disconnected, 1);
    EXPECT_EQ(Connected, 1);
}

TEST_F(ConnectionStatusTest, CallbacksInstalledLateMissTheConnectionAlreadySeen) {
    Fake.SetConnections({{"isp", RasStateConnected}});
    TConnectionPoller poller(Binding, Quick);
    WaitForPolls(2);
    Record(poller);
    WaitForPolls(3);
    EXPECT_EQ(Connected, 0);
    Fake.SetConnections({});
    WaitForPolls(2);
    EXPECT_EQ(Disconnected, 1);
}

TEST_F(ConnectionStatusTest, TakesTheStateWhenMadeAndEndsAtOnceWhenStopped) {
    TConnectionPoller poller(Binding, OneHour);
    EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), 1);
    poller.Terminate();
    EXPECT_TRUE(poller.WaitFor(30000)) << "the sleeping thread was not woken";
    EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), 1);
}

// A callback hands its work to the user-interface thread and waits; the stop at program end
// ends that wait, and the work, never served, does not run.
TEST_F(ConnectionStatusTest, StoppingEndsACallbackWaitingInItsHandOver) {
    HANDLE inCallback = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool ran = false, handedOver = true;
    {
        TConnectionPoller poller(Binding, Quick);
        poller.Monitor().SetOnConnected([&](TConnectionStatus* sender) {
            SetEvent(inCallback);
            handedOver = sender->HandOver([&] { ran = true; });
        });
        Fake.SetConnections({{"isp", RasStateConnected}});
        ASSERT_EQ(WaitForSingleObject(inCallback, 30000), WAIT_OBJECT_0);
        for (int i = 0; i < 30000 && !(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE); ++i)
            Sleep(1);
    }
    Application.ProcessMessages();
    EXPECT_FALSE(handedOver);
    EXPECT_FALSE(ran);
    CloseHandle(inCallback);
}

TEST_F(ConnectionStatusTest, TheProcessWideOperationsFollowThePoller) {
    Fake.SetConnections({{"isp", RasStateConnected}});
    EXPECT_FALSE(DialUpConnected());

    StartConnectionStatus(Quick);
    EXPECT_TRUE(DialUpConnected());
    SetDisconnectedCallback([this](TConnectionStatus*) { ++Disconnected; });
    SetConnectedCallback([this](TConnectionStatus*) { ++Connected; });
    SetConnectedCallback(nullptr);
    WaitForPolls(2);
    Fake.SetConnections({});
    WaitForPolls(2);
    EXPECT_EQ(Disconnected, 1);
    EXPECT_EQ(Connected, 0) << "a cleared callback is not called";

    StopConnectionStatus();
    Fake.SetConnections({{"isp", RasStateConnected}});
    const LONG polls = Fake.Calls("RasEnumConnectionsA");
    SetConnectedCallback([this](TConnectionStatus*) { ++Connected; });
    EXPECT_FALSE(DialUpConnected());
    EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), polls) << "nothing polls or asks any more";
    EXPECT_EQ(Connected, 0);
}

TEST_F(ConnectionStatusTest, ACallbackThatFailsIsReportedAndThePollsGoOn) {
    ReportRecorder reports;
    TConnectionPoller poller(Binding, Quick);
    poller.Monitor().SetOnConnected(
        [](TConnectionStatus*) { throw Exception("the connected handler failed"); });
    poller.Monitor().SetOnDisconnected([this](TConnectionStatus*) { ++Disconnected; });
    Fake.SetConnections({{"isp", RasStateConnected}});
    WaitForPolls(2);
    Fake.SetConnections({});
    WaitForPolls(2);
    EXPECT_EQ(Disconnected, 1) << "the next change is still reported";
    EXPECT_TRUE(PumpUntil([&] { return !reports.Reports().empty(); }));
    EXPECT_EQ(reports.Reports(), std::vector<std::string>{"the connected handler failed"});
}

// The operations of other threads never meet a poller that is being destroyed.
TEST_F(ConnectionStatusTest, TheProcessWideOperationsCanRunWhileThePollerStops) {
    std::atomic<bool> done{false};
    std::atomic<int> rounds{0};
    TTestThread user([&] {
        while (!done) {
            DialUpConnected();
            SetConnectedCallback([](TConnectionStatus*) {});
            SetDisconnectedCallback(nullptr);
            ++rounds;
        }
    });
    for (int i = 0; i < 100; ++i) {
        StartConnectionStatus(Quick);
        StopConnectionStatus();
    }
    done = true;
    user.join();
    EXPECT_GT(rounds, 0);
    EXPECT_FALSE(DialUpConnected());
}

TEST(ConnectionStatusWithoutLibrary, NeverReportsAndStillStops) {
    TRasBinding absent;
    absent.Bind("LARKSPUR-NO-SUCH-RAS.DLL");
    TConnectionPoller poller(absent, Quick);
    std::atomic<int> calls{0};
    poller.Monitor().SetOnConnected([&](TConnectionStatus*) { ++calls; });
    poller.Monitor().SetOnDisconnected([&](TConnectionStatus*) { ++calls; });
    EXPECT_FALSE(poller.Monitor().Connected());
    poller.Terminate();
    EXPECT_TRUE(poller.WaitFor(30000));
    EXPECT_EQ(calls, 0);
}

}  // namespace
