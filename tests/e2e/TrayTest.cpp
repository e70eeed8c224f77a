// Larkspur in the notification area of a Wine desktop with a taskbar, against the test Dovecot:
// the icon and its hint, a check from a double click, the last-result popup, the menu, the About
// box, and the end by WM_CLOSE. The help document's pictures are taken here.

#include "resources/resource.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

const std::regex kThreeMessages("At (1?[0-9]|2[0-3]):[0-5][0-9] you had 3 mail messages");
const std::regex kTimeLine("At (1?[0-9]|2[0-3]):[0-5][0-9] you had");

std::string Larkspur() { return BinFolder() + "Larkspur.exe"; }

// How many times the user has logged in to the test Dovecot so far.
int Logins(const std::string& user) { return Pop3LogCount("Login: user=<" + user + ">"); }

HWND ResultPopup(RunningProgram& program) {
    for (HWND window : program.TopLevelWindows())
        if (IsWindowVisible(window) && GetDlgItem(window, IDC_TIMELABEL)) return window;
    return nullptr;
}

void PostClick(HWND mainForm) {
    PostTrayMessage(mainForm, WM_LBUTTONDOWN);
    PostTrayMessage(mainForm, WM_LBUTTONUP);
}

// The bottom right corner of the screen, with the icon and its tip, and the window if given.
RECT TrayCorner(HWND window = nullptr) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    RECT corner{width - 360, height - 64, width, height};
    if (window) {
        RECT shown{};
        GetWindowRect(window, &shown);
        InflateRect(&shown, 8, 8);
        UnionRect(&corner, &corner, &shown);
    }
    return corner;
}

class Tray : public ::testing::Test {
protected:
    void TearDown() override { DeleteSettings(); }
};

}  // namespace

TEST_F(Tray, ADoubleClickChecksAndTheHintThePopupAndTheMenuTellTheResult) {
    ASSERT_GE(Logins("three"), 0) << "these tests need the test Dovecot (scripts/test starts it)";
    SeedSettings("three", "three-secret", false);
    RunningProgram program(Larkspur());
    HWND mainForm = program.WaitForWindow("MainForm", 10000);
    ASSERT_NE(mainForm, nullptr);
    std::string tip;
    ASSERT_TRUE(WaitUntil(
        [&] {
            tip = TrayIconTip(2000);
            return std::regex_match(tip, kThreeMessages);
        },
        20000))
        << "the start-up check; the tip reads: " << tip;

    const int logins = Logins("three");
    PostClick(mainForm);
    PostTrayMessage(mainForm, WM_LBUTTONDBLCLK);
    PostTrayMessage(mainForm, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return Logins("three") == logins + 1; }, 20000))
        << "the double click checks";
    tip = TrayIconTip();
    EXPECT_TRUE(std::regex_match(tip, kThreeMessages)) << tip;
    const RECT corner = TrayCorner();
    EXPECT_TRUE(Screenshot("tray-hint", &corner));
    EXPECT_EQ(ResultPopup(program), nullptr) << "no popup from the double click's first press";

    PointBesideTrayIcon();
    PostClick(mainForm);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (popup = ResultPopup(program)) != nullptr; }, 5000));
    EXPECT_TRUE(std::regex_match(WindowTextOf(GetDlgItem(popup, IDC_TIMELABEL)), kTimeLine));
    EXPECT_EQ(WindowTextOf(GetDlgItem(popup, IDC_NUMMESSAGESLABEL)), "3 mail messages");
    const RECT aroundPopup = TrayCorner(popup);
    EXPECT_TRUE(Screenshot("tray-popup", &aroundPopup));
    EXPECT_TRUE(WaitUntil([&] { return !ResultPopup(program); }, 10000)) << "it closes by itself";

    PostTrayMessage(mainForm, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = OpenMenuWindow()) != nullptr; }, 5000));
    const RECT aroundMenu = TrayCorner(menu);
    EXPECT_TRUE(Screenshot("tray-menu", &aroundMenu));
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return !OpenMenuWindow(); }, 5000));

    PostMessageA(mainForm, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = program.WaitForWindow("About", 5000);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(WindowTextOf(GetDlgItem(about, IDC_VERSIONLABEL)), "Version 1.0 (Build 104)");
    RECT aboutBox{};
    GetWindowRect(about, &aboutBox);
    EXPECT_TRUE(Screenshot("about", &aboutBox));
    PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "Esc closes it";

    PostMessageA(mainForm, WM_CLOSE, 0, 0);
    DWORD code = 99;
    EXPECT_TRUE(program.WaitForExit(10000, &code)) << "WM_CLOSE ends the program";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(TrayIconTip(2000), "") << "the icon has left the tray";
}

TEST_F(Tray, BeforeAnyCheckTheIconTellsThatTheMailHasNotBeenChecked) {
    SeedSettings("three", "three-secret", true);  // dial-up, never connected on Wine: no check
    RunningProgram program(Larkspur());
    HWND mainForm = program.WaitForWindow("MainForm", 10000);
    ASSERT_NE(mainForm, nullptr);
    EXPECT_EQ(TrayIconTip(), "Your mail has not yet been checked");

    PostClick(mainForm);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (popup = ResultPopup(program)) != nullptr; }, 5000));
    EXPECT_EQ(WindowTextOf(GetDlgItem(popup, IDC_TIMELABEL)), "Your mail has not");
    EXPECT_EQ(WindowTextOf(GetDlgItem(popup, IDC_NUMMESSAGESLABEL)), "yet been checked");
    EXPECT_TRUE(WaitUntil([&] { return !ResultPopup(program); }, 10000)) << "it closes by itself";

    PostTrayMessage(mainForm, WM_LBUTTONDBLCLK);
    HWND box = program.WaitForWindow("Information", 5000);
    ASSERT_NE(box, nullptr) << "no connection: the user is asked to connect first";
    EXPECT_EQ(WindowTextOf(GetDlgItem(box, 0xFFFF)),
              "Please connect to the Internet with Dial-Up Networking\r\nbefore attempting to "
              "check for waiting mail messages.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    // What taskkill without /F sends.
    PostMessageA(program.WaitForWindow("Brightmoor Larkspur", 1000), WM_CLOSE, 0, 0);
    DWORD code = 99;
    EXPECT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(TrayIconTip(2000), "");
}
