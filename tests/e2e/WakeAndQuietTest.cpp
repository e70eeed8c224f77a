// The real Larkspur.exe against the test Dovecot on a direct connection: a resume message to its
// main form leads to a check, and the pause keeps the "Mail" window away while the tray tells the
// result. Quiet hours are the same quiet, from the settings (the Win32 WakeAndQuiet test).

#include "resources/resource.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Program.h"
#include "tests/win/RawRegistry.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

const std::regex kThreePaused("At (1?[0-9]|2[0-3]):[0-5][0-9] you had 3 mail messages \\(paused\\)");
const char kNotificationKey[] = "Software\\Brightmoor\\Larkspur\\Notification";

int Logins() { return Pop3LogCount("Login: user=<three>"); }

bool MailWindowShown(RunningProgram& program) {
    for (HWND w : program.TopLevelWindows())
        if (IsWindowVisible(w) && WindowTextOf(w) == "Mail") return true;
    return false;
}

// Once the main form has answered, the check it was serving has shown all it shows.
void RoundTrip(HWND window) {
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr);
}

bool TipMatches(const std::regex& pattern) {
    std::string tip;
    return WaitUntil([&] { return std::regex_match(tip = TrayIconTip(2000), pattern); }, 30000);
}

class WakeAndQuiet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(Logins(), 0) << "these tests need the test Dovecot (scripts/test starts it)";
        SeedSettings("three", "three-secret", false);
        WriteRaw(HKEY_CURRENT_USER, kNotificationKey, "Show Window", REG_DWORD, DwordData(1));
    }
    void TearDown() override { DeleteSettings(); }
};

}  // namespace

TEST_F(WakeAndQuiet, AResumeMessageLeadsToACheckWithinThirtySeconds) {
    RunningProgram program(BinFolder() + "Larkspur.exe");
    HWND mainForm = program.WaitForWindow("MainForm", 10000);
    ASSERT_NE(mainForm, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return MailWindowShown(program); }, 20000)) << "the start-up check";
    PostMessageA(program.WaitForWindow("Mail", 1000), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !MailWindowShown(program); }, 10000));

    // Paused: the resume's check tells the tray only.
    PostMessageA(mainForm, WM_COMMAND, IDM_PAUSENOTIFICATIONS, 0);
    const int logins = Logins();
    PostMessageA(mainForm, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(WaitUntil([&] { return Logins() == logins + 1; }, 30000));
    RoundTrip(mainForm);
    EXPECT_FALSE(MailWindowShown(program));
    EXPECT_TRUE(TipMatches(kThreePaused));
}
