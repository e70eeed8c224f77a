// The checks after a resume or a change of the network, on the real main form with the real
// tray, and quiet: quiet hours and the pause keep the notification away but the tray tells the
// result; the Windows notification stands in for the "Mail" window. Checks are played by the
// test host.

#include "app/MainForm.win.h"
#include "app/NetworkWatch.win.h"
#include "app/Program.win.h"
#include "framework/Application.win.h"
#include "resources/resource.h"
#include "settings/QuietHours.h"
#include "tests/support/TestThread.h"
#include "tests/win/ProgramFixture.h"
#include "tests/win/WindowDriver.h"
#include "tray/Notification.win.h"
#include "tray/TrayStatus.win.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char kHint[] = "At 14:30 you had 3 mail messages";

class WakeAndQuiet : public ProgramFixture {
protected:
    void Restart(bool dialUp) {
        TearDown();
        SetUp();
        Settings(dialUp);
        StartProgram();
    }
    // Posts to the main form and handles it, as the message loop would.
    void Post(UINT msg, WPARAM wParam = 0) {
        PostMessageA(TheProgram->MainForm->Handle(), msg, wParam, 0);
        Application.ProcessMessages();
    }
    int Count(const std::string& line) {
        return static_cast<int>(std::count(Host().Log.begin(), Host().Log.end(), line));
    }
};

// A stand-in for the system's registration: it keeps the callback, which the test then calls
// from a thread of its own, as the system would.
PIPINTERFACE_CHANGE_CALLBACK Registered = nullptr;
PVOID RegisteredContext = nullptr;
bool Cancelled = false;

NETIO_STATUS NETIOAPI_API_ FakeNotify(ADDRESS_FAMILY, PIPINTERFACE_CHANGE_CALLBACK callback,
                                      PVOID context, BOOLEAN, HANDLE* handle) {
    Registered = callback;
    RegisteredContext = context;
    *handle = reinterpret_cast<HANDLE>(1);
    return NO_ERROR;
}

NETIO_STATUS NETIOAPI_API_ FakeCancel(HANDLE) {
    Cancelled = true;
    return NO_ERROR;
}

}  // namespace

TEST_F(WakeAndQuiet, AResumeOrANetworkChangeChecksOnADirectConnectionOnly) {
    struct Case {
        const char* what;
        bool dialUp;
        UINT msg;
        WPARAM event;
        int checks;  // after the one of the start
    };
    const Case cases[] = {
        {"resume for the system", false, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 1},
        {"resume for the user", false, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1},
        {"a network change", false, WM_NETWORKCHANGED, 0, 1},
        {"going to sleep", false, WM_POWERBROADCAST, PBT_APMSUSPEND, 0},
        {"dial-up", true, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0},
        {"dial-up, a network change", true, WM_NETWORKCHANGED, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart(c.dialUp);
        const int before = Host().Checks;
        Post(c.msg, c.event);
        EXPECT_EQ(Host().Checks - before, c.checks);
        // The second of a burst is held back to the end of the five seconds.
        Post(c.msg, c.event);
        EXPECT_EQ(Host().Checks - before, c.checks);
    }
}

TEST_F(WakeAndQuiet, TheNetworkWatchPostsFromTheSystemsThreadAndStopsWithTheWatch) {
    Restart(false);
    const int before = Host().Checks;
    {
        TNetworkWatch watch(TheProgram->MainForm->Handle(), WM_NETWORKCHANGED,
                            TIpHelperEntryPoints{FakeNotify, FakeCancel});
        ASSERT_TRUE(watch.Watching());
        TTestThread system([] { Registered(RegisteredContext, nullptr, MibParameterNotification); });
        system.join();
        EXPECT_TRUE(PumpUntil([&] { return Host().Checks == before + 1; }));
    }
    EXPECT_TRUE(Cancelled);
    EXPECT_FALSE(TNetworkWatch(TheProgram->MainForm->Handle(), WM_NETWORKCHANGED, {}).Watching())
        << "before Vista there is nothing to watch";
}

// Which failures are retried, and when, is the controller's (MailCheckTest); here the resume
// starts its two minutes and the main form's timer runs the retry.
TEST_F(WakeAndQuiet, ANetworkErrorJustAfterAResumeIsRetriedByTheMainFormsTimer) {
    Restart(false);
    Host().Failures = {{mekSocket, "Connection to mail server refused"}};
    Post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(Host().Log.back(), "retry in 5000");
    EXPECT_TRUE(PumpUntil([&] { return Host().Checks == 3; }));
}

TEST_F(WakeAndQuiet, QuietHoursAndThePauseKeepTheNotificationAwayButTheTrayTells) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int minute = now.wHour * 60 + now.wMinute;
    // An hour either side of now.
    const std::string from = FormatClockTime((minute + 1380) % 1440);
    const std::string to = FormatClockTime((minute + 60) % 1440);
    struct Case {
        const char* what;
        bool quietHours, pause;
        int notified;
        std::string hint;
    };
    const Case cases[] = {
        {"neither", false, false, 1, kHint},
        {"quiet hours", true, false, 0, kHint},
        {"paused", false, true, 0, std::string(kHint) + " (paused)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Settings(false);
        Props().SetQuietHours(c.quietHours);
        Props().SetQuietFrom(from);
        Props().SetQuietTo(to);
        StartProgram();
        Host().Log.clear();
        if (c.pause) Post(WM_COMMAND, IDM_PAUSENOTIFICATIONS);
        Post(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
        EXPECT_EQ(Count("check"), 1);
        EXPECT_EQ(Count("notify 3"), c.notified);
        EXPECT_EQ(Shell.Tips().back(), c.hint);
    }
    // Resumed, the mark goes from the hint.
    Post(WM_COMMAND, IDM_RESUMENOTIFICATIONS);
    EXPECT_EQ(Shell.Tips().back(), kHint);
    EXPECT_FALSE(NotificationsPaused());
}

TEST_F(WakeAndQuiet, AWindowsNotificationStandsInForTheMailWindow) {
    std::vector<NOTIFYICONDATAA> balloons;
    const auto previous = TNotifyIcon::ShellBalloon;
    TNotifyIcon::ShellBalloon = [&](const NOTIFYICONDATAA& data) {
        balloons.push_back(data);
        return TRUE;
    };
    Restart(false);
    Props().SetShowMessageWindow(true);
    Props().SetPlaySoundEnabled(false);
    Props().SetWindowsNotification(true);
    NotifyAfterCheck(Props(), 3);  // a window would wait here for its OK
    TNotifyIcon::ShellBalloon = previous;

    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(balloons[0].uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(balloons[0].hWnd, TheProgram->MainForm->Handle());
    EXPECT_STREQ(balloons[0].szInfoTitle, "Mail");
    EXPECT_STREQ(balloons[0].szInfo, "You have 3 mail messages.");
    EXPECT_EQ(balloons[0].dwInfoFlags, static_cast<DWORD>(NIIF_INFO | NIIF_NOSOUND));
    for (const TrayRequest& r : Shell.Requests)
        EXPECT_EQ(r.Data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE)) << "the icon's own";
}
