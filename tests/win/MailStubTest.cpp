#include "tests/win/MailStubTest.h"

#include <fstream>

namespace {

const char kStubTitle[] = "Larkspur Mail Stub";

BOOL CALLBACK CollectStubWindow(HWND window, LPARAM found) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    if (std::string(title) == kStubTitle)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

}  // namespace

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

void MailStubTest::SetUp() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Prefix = std::string(temp) + "larkspur-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    Record = Prefix + ".txt";
    DeleteFileA(Record.c_str());
    SetEnvironmentVariableA("LARKSPUR_MAILSTUB_RECORD", Record.c_str());
}

void MailStubTest::TearDown() {
    CloseStubs();
    for (const std::string& copy : Copies) DeleteFileA(copy.c_str());
    DeleteFileA(Record.c_str());
}

std::string MailStubTest::Stub(const std::string& name) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string stub(self);
    stub = stub.substr(0, stub.find_last_of('\\') + 1) + "mailstub.exe";
    const std::string copy = Prefix + "-" + name + ".exe";
    EXPECT_TRUE(CopyFileA(stub.c_str(), copy.c_str(), FALSE)) << copy;
    Copies.push_back(copy);
    return copy;
}

std::vector<std::string> MailStubTest::Starts() const {
    std::vector<std::string> lines;
    std::ifstream in(Record);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
