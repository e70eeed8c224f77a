#include "tests/e2e/Program.h"

std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

RunningProgram::RunningProgram(const std::string& exe, const std::string& parameters,
                               const std::string& currentFolder) {
    std::string commandLine = "\"" + exe + "\"" + (parameters.empty() ? "" : " " + parameters);
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    Process = info.hProcess;
    ProcessId = info.dwProcessId;
}

RunningProgram::~RunningProgram() {
    if (!Process) return;
    if (Running()) {
        TerminateProcess(Process, 1);
        WaitForSingleObject(Process, 5000);
    }
    CloseHandle(Process);
}

bool RunningProgram::WaitForExit(DWORD milliseconds, DWORD* exitCode) {
    if (WaitForSingleObject(Process, milliseconds) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(Process, exitCode);
    return true;
}

bool RunningProgram::Running() { return WaitForSingleObject(Process, 0) == WAIT_TIMEOUT; }

namespace {

struct ProcessWindows {
    DWORD id;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->id) search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> RunningProgram::TopLevelWindows() {
    ProcessWindows search{ProcessId, {}};
    EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningProgram::WaitForWindow(const std::string& title, DWORD milliseconds) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindows())
                if (WindowTextOf(w) == title) found = w;
            return found != nullptr;
        },
        milliseconds);
    return found;
}

std::string WindowTextOf(HWND window) {
    char text[2048] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}
