// The connection status poller on its own thread over the stand-in RASAPI32.DLL. A short poll
// period stands in for the ten seconds; progress is read from the library's call counts, never
// from the clock.

#include <gtest/gtest.h>

#include <atomic>

#include "dialup/ConnectionStatus.win.h"
#include "framework/Exception.h"
#include "tests/win/RasFake.h"
#include "tests/win/WindowDriver.h"

#include <thread>

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
    TConnectionStatus poller(Binding, Quick);
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
    TConnectionStatus poller(Binding, Quick);
    WaitForPolls(2);
    Record(poller);
    WaitForPolls(3);
    EXPECT_EQ(Connected, 0);
    Fake.SetConnections({});
    WaitForPolls(2);
    EXPECT_EQ(Disconnected, 1);
}

TEST_F(ConnectionStatusTest, PollsAtOnceAndEndsAtOnceWhenStopped) {
    TConnectionStatus poller(Binding, OneHour);
    // The first poll may already have begun: counted from the start, not from now.
    for (int i = 0; i < 30000 && Fake.Calls("RasEnumConnectionsA") < 1; ++i) Sleep(1);
    poller.Terminate();
    EXPECT_TRUE(poller.WaitFor(30000)) << "the sleeping thread was not woken";
    EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), 1);
}

// The callbacks will be carried to the user-interface thread with a blocking send: the join at
// program end must keep answering it.
LRESULT CALLBACK AnswerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return msg == WM_APP ? 42 : DefWindowProcA(window, msg, wParam, lParam);
}

TEST_F(ConnectionStatusTest, StoppingAnswersACallbackBlockedInASend) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AnswerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LarkspurAnswerTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    HANDLE inCallback = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD_PTR answer = 0;

    Fake.SetConnections({{"isp", RasStateConnected}});
    {
        TConnectionStatus poller(Binding, Quick);
        poller.Monitor().SetOnConnected([&](TConnectionStatus*) {
            SetEvent(inCallback);
            SendMessageTimeoutA(window, WM_APP, 0, 0, SMTO_BLOCK, 20000, &answer);
        });
        ASSERT_EQ(WaitForSingleObject(inCallback, 30000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(answer, 42u) << "the send was not answered while the poller was joined";
    CloseHandle(inCallback);
    DestroyWindow(window);
}

TEST_F(ConnectionStatusTest, TheProcessWideOperationsFollowThePoller) {
    Fake.SetConnections({{"isp", RasStateConnected}});
    EXPECT_FALSE(DialUpAvailable()) << "no poller yet";
    EXPECT_FALSE(DialUpConnected());

    StartConnectionStatus(Quick);
    EXPECT_TRUE(DialUpAvailable());
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
    EXPECT_FALSE(DialUpAvailable());
    EXPECT_FALSE(DialUpConnected());
    EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), polls) << "nothing polls or asks any more";
    EXPECT_EQ(Connected, 0);
}

TEST_F(ConnectionStatusTest, ACallbackThatFailsIsReportedAndThePollsGoOn) {
    ReportRecorder reports;
    TConnectionStatus poller(Binding, Quick);
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
    std::thread user([&] {
        while (!done) {
            DialUpConnected();
            DialUpAvailable();
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
    EXPECT_FALSE(DialUpAvailable());
}

TEST(ConnectionStatusWithoutLibrary, NeverReportsAndStillStops) {
    TRasBinding absent;
    absent.Bind("LARKSPUR-NO-SUCH-RAS.DLL");
    TConnectionStatus poller(absent, Quick);
    std::atomic<int> calls{0};
    poller.Monitor().SetOnConnected([&](TConnectionStatus*) { ++calls; });
    poller.Monitor().SetOnDisconnected([&](TConnectionStatus*) { ++calls; });
    EXPECT_FALSE(poller.Monitor().Connected());
    poller.Terminate();
    EXPECT_TRUE(poller.WaitFor(30000));
    EXPECT_EQ(calls, 0);
}

}  // namespace
