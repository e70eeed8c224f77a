#include "mailprogram/MailProgram.win.h"

#include <exception>
#include <memory>
#include <vector>

#include "framework/Handles.win.h"
#include "framework/Registry.win.h"
#include "mailprogram/MailtoCommand.h"

namespace {

std::string MailProgramPath;
HWND MailProgramWindow = nullptr;
DWORD MailProgramProcessId = 0;

}  // namespace

std::string FindDefaultMailProgram() {
    try {
        // Read access only: the handler usually lies in the machine's part of the classes.
        TRegistry registry(HKEY_CLASSES_ROOT, KEY_READ);
        if (!registry.OpenKey("mailto\\shell\\open\\command", false)) return {};
        return MailProgramFromMailtoCommand(registry.ReadString(""));
    } catch (const std::exception&) {
        return {};
    }
}

bool MailProgramExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void OpenMailProgram(const std::string& path, const std::string& parameters) {
    if (!MailProgramExists(path)) return;
    if (path != MailProgramPath) {
        MailProgramPath = path;
        MailProgramWindow = nullptr;
    }
    // A window that no longer exists cannot be brought to the top: then start a new copy.
    if (MailProgramWindow && BringWindowToTop(MailProgramWindow)) return;
    LaunchMailProgram(path, " " + parameters);
}

bool LaunchMailProgram(const std::string& path, const std::string& commandLine) {
    MailProgramWindow = nullptr;
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &process))
        return false;
    const THandle processHandle(process.hProcess);
    const THandle threadHandle(process.hThread);
    MailProgramProcessId = process.dwProcessId;

    WaitForInputIdle(processHandle.get(), 10000);
    EnumWindows(FindProcessWindow, 0);
    return MailProgramWindow != nullptr;
}

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != MailProgramProcessId) return TRUE;
    MailProgramWindow = window;
    return FALSE;
}
