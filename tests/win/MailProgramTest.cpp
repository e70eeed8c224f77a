// The mail program: its default from the real "mailto" handler of the registry (saved and put
// back), and real launches of the mail stub test tool, which records each start's command line.

#include "mailprogram/MailProgram.win.h"
#include "tests/win/RawRegistry.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

const char kMailtoCommand[] = "mailto\\shell\\open\\command";
const char kStubTitle[] = "Larkspur Mail Stub";

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

BOOL CALLBACK CollectStubWindow(HWND window, LPARAM found) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    if (std::string(title) == kStubTitle)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> StubWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectStubWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void CloseStubs() {
    for (HWND window : StubWindows()) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process) {
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

class MailProgramLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        Prefix = std::string(temp) + "larkspur-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        Record = Prefix + ".txt";
        DeleteFileA(Record.c_str());
        SetEnvironmentVariableA("LARKSPUR_MAILSTUB_RECORD", Record.c_str());
    }
    void TearDown() override {
        CloseStubs();
        for (const std::string& copy : Copies) DeleteFileA(copy.c_str());
        DeleteFileA(Record.c_str());
    }
    // A copy of the mail stub under its own path, so that no test meets a window remembered by
    // another.
    std::string Stub(const std::string& name) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string stub(self);
        stub = stub.substr(0, stub.find_last_of('\\') + 1) + "mailstub.exe";
        const std::string copy = Prefix + "-" + name + ".exe";
        EXPECT_TRUE(CopyFileA(stub.c_str(), copy.c_str(), FALSE)) << copy;
        Copies.push_back(copy);
        return copy;
    }
    std::vector<std::string> Starts() const {
        std::vector<std::string> lines;
        std::ifstream in(Record);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    std::string Prefix, Record;
    std::vector<std::string> Copies;
};

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
