// The mail program: its default from the real "mailto" handler of the registry (saved and put
// back), and real launches of the mail stub test tool, which records each start's command line.

#include "mailprogram/MailProgram.win.h"
#include "tests/win/MailStubTest.h"
#include "tests/win/RawRegistry.h"

#include <gtest/gtest.h>

namespace {

const char kMailtoCommand[] = "mailto\\shell\\open\\command";

class DefaultMailProgram : public ::testing::Test {
protected:
    void SetUp() override {
        HadMailto = RawKeyExists(HKEY_CLASSES_ROOT, "mailto");
        Original = ReadRaw(HKEY_CLASSES_ROOT, kMailtoCommand, "");
    }
    void TearDown() override {
        if (!HadMailto)
            DeleteKeyTree(HKEY_CLASSES_ROOT, "mailto");
        else if (Original.exists)
            WriteRaw(HKEY_CLASSES_ROOT, kMailtoCommand, "", Original);
        else
            DeleteRawValue(HKEY_CLASSES_ROOT, kMailtoCommand, "");
    }
    static std::string With(DWORD type, const std::string& command) {
        WriteRaw(HKEY_CLASSES_ROOT, kMailtoCommand, "", type, command);
        return FindDefaultMailProgram();
    }

    bool HadMailto = false;
    RawValue Original;
};

TEST_F(DefaultMailProgram, IsTheProgramOfTheMailtoCommand) {
    EXPECT_EQ(With(REG_SZ, "\"C:\\Mail\\mail.exe\" /m %1"), "C:\\Mail\\mail.exe");
    EXPECT_EQ(With(REG_SZ, "C:\\Progra~1\\Mail\\mail.exe /m %1"), "C:\\Progra~1\\Mail\\mail.exe");
    EXPECT_EQ(With(REG_EXPAND_SZ, "%ProgramFiles%\\Mail\\mail.exe /m %1"),
              "%ProgramFiles%\\Mail\\mail.exe");
}

TEST_F(DefaultMailProgram, IsEmptyForTheLibraryRunnerOrWhatCannotBeRead) {
    EXPECT_EQ(With(REG_SZ, "RunDll32.exe url.dll,MailToProtocolHandler %1"), "");
    EXPECT_EQ(With(REG_DWORD, DwordData(1)), "");
    EXPECT_EQ(With(REG_SZ, ""), "");
    DeleteRawValue(HKEY_CLASSES_ROOT, kMailtoCommand, "");
    EXPECT_EQ(FindDefaultMailProgram(), "");
}

using MailProgramLaunch = MailStubTest;

TEST_F(MailProgramLaunch, StartsOnceThenBringsItsWindowToTheTop) {
    const std::string stub = Stub("mail");
    OpenMailProgram(stub, "-check");
    EXPECT_EQ(Starts(), std::vector<std::string>{"[ -check]"});
    ASSERT_EQ(StubWindows().size(), 1u);

    OpenMailProgram(stub, "-check");
    EXPECT_EQ(Starts().size(), 1u);
    EXPECT_EQ(StubWindows().size(), 1u);
}

TEST_F(MailProgramLaunch, EmptyParametersGiveASingleBlank) {
    OpenMailProgram(Stub("mail"), "");
    EXPECT_EQ(Starts(), std::vector<std::string>{"[ ]"});
}

TEST_F(MailProgramLaunch, StartsAgainAfterTheProgramHasEnded) {
    const std::string stub = Stub("mail");
    OpenMailProgram(stub, "a");
    CloseStubs();
    ASSERT_TRUE(StubWindows().empty());
    OpenMailProgram(stub, "b");
    EXPECT_EQ(Starts(), (std::vector<std::string>{"[ a]", "[ b]"}));
}

TEST_F(MailProgramLaunch, MissingFileDoesNothingAndKeepsTheRememberedWindow) {
    const std::string stub = Stub("mail");
    OpenMailProgram(stub, "");
    OpenMailProgram(Prefix + "-missing.exe", "");
    OpenMailProgram("", "");
    OpenMailProgram(stub, "");
    EXPECT_EQ(Starts().size(), 1u);
}

TEST_F(MailProgramLaunch, AnotherPathForgetsTheRememberedWindow) {
    const std::string first = Stub("first"), second = Stub("second");
    OpenMailProgram(first, "1");
    OpenMailProgram(second, "2");
    OpenMailProgram(first, "3");
    EXPECT_EQ(Starts(), (std::vector<std::string>{"[ 1]", "[ 2]", "[ 3]"}));
    EXPECT_EQ(StubWindows().size(), 3u);
}

TEST_F(MailProgramLaunch, LaunchTellsWhetherTheNewProcessShowedAWindow) {
    EXPECT_TRUE(LaunchMailProgram(Stub("mail"), " x"));
    EXPECT_FALSE(LaunchMailProgram(Prefix + "-missing.exe", " "));
    EXPECT_EQ(Starts(), std::vector<std::string>{"[ x]"});
}

}  // namespace
