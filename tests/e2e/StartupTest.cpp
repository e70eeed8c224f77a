// Start-up as a user meets it: one copy runs hidden, a second copy of the same file name ends
// at once, "/?" opens the help document beside the program.

#include "tests/e2e/Program.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace {

const char kTitle[] = "Brightmoor Larkspur";

std::string Larkspur() { return BinFolder() + "Larkspur.exe"; }

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

// Makes the recorder tool the program that opens .htm documents, for the length of a test.
class HtmlAssociation {
public:
    HtmlAssociation() {
        char old[256] = {};
        LONG size = sizeof old;
        HadOld = RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", old, &size) == ERROR_SUCCESS;
        Old = old;
        const std::string command = "\"" + BinFolder() + "recorder.exe\" \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "LarkspurTest.Document", 0);
        RegSetValueA(HKEY_CLASSES_ROOT, "LarkspurTest.Document\\shell\\open\\command", REG_SZ,
                     command.c_str(), 0);
        Record = TempFolder() + "larkspur-opened.txt";
        DeleteFileA(Record.c_str());
        SetEnvironmentVariableA("LARKSPUR_RECORD", Record.c_str());
    }
    ~HtmlAssociation() {
        if (HadOld) RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, Old.c_str(), 0);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "LarkspurTest.Document\\shell\\open\\command");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "LarkspurTest.Document\\shell\\open");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "LarkspurTest.Document\\shell");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "LarkspurTest.Document");
        DeleteFileA(Record.c_str());
    }
    // The documents opened so far, one command line each.
    std::vector<std::string> Opened() const {
        std::ifstream in(Record);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    bool HadOld = false;
    std::string Old, Record;
};

// Settings that start no check and offer no prompt.
class Startup : public ::testing::Test {
protected:
    void SetUp() override { SeedSettings("three", "three-secret", true); }
    void TearDown() override { DeleteSettings(); }
};

bool AnyVisible(RunningProgram& program) {
    for (HWND w : program.TopLevelWindows())
        if (IsWindowVisible(w)) return true;
    return false;
}

// A copy of Larkspur.exe under another name or in another folder (without its help).
class ExeCopy {
public:
    explicit ExeCopy(const std::string& relative) : Path(TempFolder() + relative) {
        const std::string folder = Path.substr(0, Path.find_last_of('\\'));
        CreateDirectoryA(folder.c_str(), nullptr);
        CopyFileA(Larkspur().c_str(), Path.c_str(), FALSE);
    }
    ~ExeCopy() { DeleteFileA(Path.c_str()); }
    std::string Path;
};

}  // namespace

TEST_F(Startup, TheFirstCopyRunsWithOnlyItsHiddenWindows) {
    RunningProgram first(Larkspur());
    ASSERT_TRUE(first.Started());
    HWND app = first.WaitForWindow(kTitle, 10000);
    ASSERT_NE(app, nullptr) << "no application window titled " << kTitle;
    EXPECT_FALSE(IsWindowVisible(app));
    EXPECT_NE(first.WaitForWindow("MainForm", 5000), nullptr);
    Sleep(1000);
    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(AnyVisible(first)) << "a window or taskbar button is showing";
}

TEST_F(Startup, ASecondCopyEndsAtOnceWithCodeZeroAndLeavesTheFirstAlone) {
    RunningProgram first(Larkspur());
    ASSERT_NE(first.WaitForWindow(kTitle, 10000), nullptr);
    RunningProgram second(Larkspur());
    DWORD code = 99;
    ASSERT_TRUE(second.WaitForExit(10000, &code)) << "the second copy kept running";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_NE(first.WaitForWindow(kTitle, 1000), nullptr);
}

TEST_F(Startup, SixCopiesStartedTogetherLeaveOneRunning) {
    std::vector<std::unique_ptr<RunningProgram>> copies;
    for (int i = 0; i < 6; ++i) copies.push_back(std::make_unique<RunningProgram>(Larkspur()));
    int running = 0;
    for (auto& copy : copies) {
        DWORD code = 99;
        if (copy->WaitForExit(10000, &code))
            EXPECT_EQ(code, 0u);
        else
            ++running;
    }
    EXPECT_EQ(running, 1);
}

TEST_F(Startup, ACopyUnderAnotherFileNameRunsBesideTheFirst) {
    ExeCopy renamed("larkspur-e2e\\Larkspur2.exe");
    RunningProgram first(Larkspur());
    ASSERT_NE(first.WaitForWindow(kTitle, 10000), nullptr);
    RunningProgram other(renamed.Path);
    EXPECT_NE(other.WaitForWindow(kTitle, 10000), nullptr);
    EXPECT_TRUE(other.Running());
    EXPECT_TRUE(first.Running());
}

TEST_F(Startup, HelpSwitchOpensTheHelpDocumentOncePerOccurrenceAndStartsNormally) {
    HtmlAssociation association;
    RunningProgram first(Larkspur(), "/? -? /?x /?");
    ASSERT_NE(first.WaitForWindow(kTitle, 10000), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return association.Opened().size() >= 2; }, 10000));
    Sleep(500);
    const auto opened = association.Opened();
    ASSERT_EQ(opened.size(), 2u);
    // The document goes to the shell in its short form.
    char shortPath[512] = {};
    GetShortPathNameA((BinFolder() + "Help\\Larkspur.htm").c_str(), shortPath, sizeof shortPath);
    for (const auto& line : opened)
        EXPECT_NE(line.find(std::string(" \"") + shortPath + "\""), std::string::npos) << line;
    EXPECT_TRUE(first.Running());
}

TEST_F(Startup, ASecondCopyWithTheHelpSwitchOpensTheHelpAndEnds) {
    RunningProgram first(Larkspur());
    ASSERT_NE(first.WaitForWindow(kTitle, 10000), nullptr);
    HtmlAssociation association;
    RunningProgram second(Larkspur(), "/?");
    DWORD code = 99;
    ASSERT_TRUE(second.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitUntil([&] { return association.Opened().size() == 1; }, 5000));
}

TEST_F(Startup, AMissingHelpDocumentIsReportedAndStartUpGoesOn) {
    ExeCopy lonely("larkspur-e2e-nohelp\\Larkspur.exe");
    RunningProgram program(lonely.Path, "/?");
    HWND box = program.WaitForWindow("Error", 10000);
    ASSERT_NE(box, nullptr) << "no error message box";
    const std::string text = WindowTextOf(GetDlgItem(box, 0xFFFF));
    EXPECT_EQ(text.rfind("The specified file was not found.\r\n\r\nTo open the page:\r\n\r\n", 0),
              0u)
        << text;
    EXPECT_NE(text.find("larkspur-e2e-nohelp\\Help\\Larkspur.htm\r\n\r\nuse the Open command "
                        "from\r\nthe browser's File menu."),
              std::string::npos)
        << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(program.WaitForWindow("MainForm", 10000), nullptr);
    EXPECT_TRUE(program.Running());
}
