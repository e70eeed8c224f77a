// The hidden main form with the real tray: start-up, the menu and its states, the clicks on the
// icon, the one-second settings timer and the commands. Checks are played by the test host.

#include "app/MainForm.win.h"
#include "app/Program.win.h"
#include "framework/Application.win.h"
#include "framework/ScreenScale.win.h"
#include "resources/resource.h"
#include "tests/win/ProgramFixture.h"
#include "tests/win/WindowDriver.h"
#include "tray/NotifyForm.win.h"
#include "tray/TrayStatus.win.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr UINT kAllFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// The menu as the user sees it: one line per item, "-" for a separator, with its state.
std::vector<std::string> MenuLines(HMENU menu) {
    std::vector<std::string> lines;
    const UINT bold = GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            lines.push_back("-");
            continue;
        }
        char caption[64] = {};
        GetMenuStringA(menu, i, caption, sizeof caption, MF_BYPOSITION);
        std::string line = caption;
        if (id == bold) line += " (bold)";
        if (state & MF_GRAYED) line += " (grey)";
        lines.push_back(line);
    }
    return lines;
}

bool IsResultPopup(HWND window) { return GetDlgItem(window, IDC_TIMELABEL) != nullptr; }

class MainFormTest : public ProgramFixture {
protected:
    std::vector<std::string> MenuAsShown() {
        TheProgram->MainForm->TrayIconMenuPopup(&TheProgram->MainForm->TrayIconMenu);
        return MenuLines(TheProgram->MainForm->TrayIconMenu.Build().get());
    }
    void PostToIcon(UINT mouseMessage) {
        PostTrayMessage(MainWindow(), mouseMessage, TrayIcon()->IconId());
    }
};

}  // namespace

TEST_F(MainFormTest, StartUpInDirectModeChecksOnceAndShowsTheResultInTheTray) {
    struct Case {
        std::int32_t count;
        const char* hint;
        const char* picture;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {3, "At 14:30 you had 3 mail messages", "MAILWAITING", {"check", "notify 3"}},
        {0, "At 14:30 you had no mail messages", "NOMAIL", {"check"}},
    };
    const auto noMail = IconPixels(LoadIconA(GetModuleHandleA(nullptr), "NOMAIL"));
    ASSERT_NE(noMail, IconPixels(LoadIconA(GetModuleHandleA(nullptr), "MAILWAITING")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        TearDown();
        SetUp();
        Shell.Requests.clear();
        Settings(false);
        StartGlobals();
        Host().Count = c.count;
        TheProgram->CreateMainForm();
        EXPECT_EQ(Host().Log, c.log) << "the first check runs while the form is made";
        EXPECT_EQ(TimedCheck(), nullptr) << "repeat is off";
        EXPECT_EQ(Fake.Calls("RasEnumConnectionsA"), 0) << "no poller with a direct connection";

        ASSERT_EQ(Shell.Requests.size(), 5u);
        EXPECT_EQ(Shell.Requests[0].Message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(Shell.Requests[0].Data.uFlags, kAllFlags);
        EXPECT_EQ(Shell.Requests[0].Data.hWnd, TheProgram->MainForm->Handle());
        EXPECT_EQ(Shell.Tips(), (std::vector<std::string>{"", "Your mail has not yet been checked",
                                                          c.hint}));
        EXPECT_EQ(Shell.Requests[2].Picture, noMail);
        EXPECT_EQ(Shell.Requests[4].Data.uFlags, static_cast<UINT>(NIF_ICON)) << "hint first";
        EXPECT_EQ(Shell.Requests[4].Picture,
                  IconPixels(LoadIconA(GetModuleHandleA(nullptr), c.picture)));
    }
    TheProgram->MainForm.reset();
    EXPECT_EQ(Shell.Requests.back().Message, static_cast<DWORD>(NIM_DELETE)) << "gone with the form";
}

TEST_F(MainFormTest, TheMenuShowsWhatCanBeDoneNow) {
    const std::string mailProgram = [] {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        return std::string(exe);
    }();
    const std::vector<std::string> withoutResult = {
        "&Check &Now (bold) (grey)", "&Show Last (grey)", "&Pause notifications for 1 hour", "-",
        "&About", "-", "P&roperties"};
    const std::vector<std::string> afterCheck = {"&Check &Now (bold)", "&Show Last",
                                                 "&Pause notifications for 1 hour",
                                                 "-",                  "Start &Mail Program",
                                                 "-",                  "&About",
                                                 "-",                  "P&roperties"};

    Settings(true);  // dial-up, no connection: no check at start-up
    StartProgram();
    EXPECT_EQ(Host().Checks, 0);
    EXPECT_EQ(MenuAsShown(), withoutResult) << "before the first result, no connection";

    Connect(true);
    Props().SetMailAppPath(mailProgram);
    TheProgram->MainForm->CheckNowClick();
    EXPECT_EQ(MenuAsShown(), afterCheck) << "connected, a result, the mail program present";

    Props().SetMailAppPath(mailProgram + ".missing");
    const auto missing = MenuAsShown();
    EXPECT_EQ(std::count(missing.begin(), missing.end(), "Start &Mail Program"), 0);
    EXPECT_EQ(missing.size(), afterCheck.size() - 2) << "the separator goes with the item";

    TheProgram->MainForm->PauseNotificationsClick();
    EXPECT_EQ(MenuAsShown()[2], "R&esume notifications") << "while paused";
}

TEST_F(MainFormTest, ADoubleClickChecksOrAsksForTheDialUpConnectionFirst) {
    Settings(true);
    StartProgram();
    std::string asked;
    {
        WindowDriver driver;
        driver.WhenWindowAppears("Information", [&](HWND box) {
            asked = WindowText(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        PostToIcon(WM_LBUTTONDBLCLK);
        EXPECT_TRUE(PumpUntil([&] { return driver.Acted(); }));
    }
    EXPECT_EQ(asked,
              "Please connect to the Internet with Dial-Up Networking\r\nbefore attempting to "
              "check for waiting mail messages.");
    EXPECT_EQ(Host().Checks, 0);

    Host().Count = 0;
    Connect(true);
    EXPECT_TRUE(PumpUntil([&] { return Host().Checks == 1; })) << "the connection is checked";
    PostToIcon(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(PumpUntil([&] { return Host().Checks == 2; }));
    EXPECT_EQ(Host().Log, (std::vector<std::string>{"check", "check", "notify 0"}))
        << "only the check the user asked for tells of no mail";
}

TEST_F(MainFormTest, ASingleClickShowsTheLastResultBesideThePointerForThreeSeconds) {
    Settings(false);
    StartProgram();
    SetCursorPos(1000, 760);
    std::string timeLine, countLine;
    RECT placed{};
    LONG_PTR exStyle = 0;
    WindowDriver driver;
    driver.WhenWindowAppears(IsResultPopup, [&](HWND popup) {
        timeLine = WindowText(GetDlgItem(popup, IDC_TIMELABEL));
        countLine = WindowText(GetDlgItem(popup, IDC_NUMMESSAGESLABEL));
        GetWindowRect(popup, &placed);
        exStyle = GetWindowLongPtrA(popup, GWL_EXSTYLE);
        PostToIcon(WM_LBUTTONDOWN);  // a second click while it is up
    });
    const DWORD clicked = GetTickCount();
    PostToIcon(WM_LBUTTONDOWN);
    EXPECT_TRUE(PumpUntil([&] { return driver.Acted() && !ResultPopup; }));
    EXPECT_GE(GetTickCount() - clicked + 50, 3000u) << "closed by itself after three seconds";
    EXPECT_EQ(timeLine, "At 14:30 you had");
    EXPECT_EQ(countLine, "3 mail messages");
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    const int width = placed.right - placed.left, height = placed.bottom - placed.top;
    EXPECT_EQ(width, ScreenScale()(131));
    EXPECT_EQ(placed.left, GetSystemMetrics(SM_CXSCREEN) - width - 5);
    EXPECT_EQ(placed.top, 760 - height - 5);
    EXPECT_TRUE(PumpUntil([&] { return !TrayIcon()->ClickTimerEnabled(); }));
    EXPECT_EQ(FindOwnWindow(IsResultPopup), nullptr) << "the second click showed no popup";
}

TEST_F(MainFormTest, TheSettingsPromptComesOnceAboutASecondAfterStartUp) {
    struct Case {
        bool dialUp;
        const char* why;
    };
    const Case cases[] = {{true, "dial-up without a connection: from the timer alone"},
                          {false, "direct: from the first check, the timer adds none"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TearDown();
        SetUp();
        Settings(c.dialUp, false, 10, false);
        StartGlobals();
        // The prompt stays up well beyond the timer's second.
        Host().DuringPrompt = [] { PumpUntil([] { return false; }, 1500); };
        const DWORD started = GetTickCount();
        TheProgram->CreateMainForm();
        EXPECT_EQ(Host().Log.size(), c.dialUp ? 0u : 1u);
        EXPECT_TRUE(PumpUntil([&] { return GetTickCount() - started > 2500; }, 5000));
        EXPECT_EQ(Host().Log, std::vector<std::string>{"prompt"});
        EXPECT_EQ(Host().Checks, 0);
    }
}

TEST_F(MainFormTest, MenuCommandsReachTheirActions) {
    Settings(true);
    StartProgram();
    SendMessageA(MainWindow(), WM_COMMAND, IDM_PROPERTIES, 0);
    EXPECT_EQ(Host().Log, std::vector<std::string>{"properties 0"}) << "on the General page";

    bool aboutShown = false;
    {
        WindowDriver driver;
        driver.WhenWindowAppears("About", [&](HWND box) {
            aboutShown = true;
            PressKey(box, VK_ESCAPE);
        });
        PostMessageA(MainWindow(), WM_COMMAND, IDM_ABOUT, 0);
        EXPECT_TRUE(PumpUntil([&] { return driver.Acted(); }));
    }
    EXPECT_TRUE(aboutShown);

    Connect(true);
    SendMessageA(MainWindow(), WM_COMMAND, IDM_CHECKNOW, 0);
    EXPECT_EQ(Host().Checks, 1);
}
