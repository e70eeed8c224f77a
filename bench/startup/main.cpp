// Starts Larkspur.exe with a complete account for an empty mailbox and reports, one line each,
// as it happens (the peers benchmark reads them):
//   main_form_ms=T   the program's hidden main form exists, T ms after CreateProcess
//   tray_icon_ms=T   an icon appeared in the notification area (tray_icon=none: none came)
//   idle_start       the program has settled; nothing should happen from here on
//   idle_end         IDLE_SECONDS later; then the program is ended
// Run it inside a Wine desktop with a taskbar (explorer /desktop=shell,...), beside the test
// Dovecot. The icon is seen the way Wine's taskbar shows it: each notification icon brings a
// tooltip window of the taskbar's process with one tool.
//
//   bench_startup.exe PATH_OF_LARKSPUR_EXE IDLE_SECONDS

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kSettingsKey[] = "Software\\Brightmoor\\Larkspur";

void SetString(HKEY root, const std::string& section, const char* name, const char* value) {
    HKEY key = nullptr;
    RegCreateKeyExA(root, (std::string(kSettingsKey) + "\\" + section).c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(key);
}

void SetNumber(HKEY root, const std::string& section, const char* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExA(root, (std::string(kSettingsKey) + "\\" + section).c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// Checks every 10 minutes, directly, of a mailbox without mail: after the first check nothing
// is shown and nothing runs until the next period.
void SeedSettings() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    SetString(HKEY_CURRENT_USER, "Mailbox", "Pop3 Server Address", "127.0.0.1");
    SetString(HKEY_CURRENT_USER, "Mailbox", "Login Username", "empty");
    SetString(HKEY_CURRENT_USER, "Mailbox", "Password", "empty-secret");
    SetString(HKEY_CURRENT_USER, "Notification", "Mail App Path", "");
    SetNumber(HKEY_CURRENT_USER, "General", "Repeat Mail Check", 1);
    SetNumber(HKEY_CURRENT_USER, "General", "Repeat Mail Interval", 10);
    SetNumber(HKEY_CURRENT_USER, "General", "Use Dial-up Networking", 0);
}

struct Search {
    DWORD ProcessId;
    bool Found;
};

BOOL CALLBACK FindMainForm(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->ProcessId && std::string(title) == "MainForm") search->Found = true;
    return !search->Found;
}

bool HasMainForm(DWORD processId) {
    Search search{processId, false};
    EnumWindows(&FindMainForm, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

BOOL CALLBACK CountTrayTools(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->ProcessId && std::string(className) == TOOLTIPS_CLASSA &&
        SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0) > 0)
        search->Found = true;
    return !search->Found;
}

bool HasTrayIcon() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) return false;
    Search search{0, false};
    GetWindowThreadProcessId(taskbar, &search.ProcessId);
    EnumWindows(&CountTrayTools, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_startup PATH_OF_LARKSPUR_EXE IDLE_SECONDS\n");
        return 2;
    }
    const DWORD idleSeconds = static_cast<DWORD>(std::atoi(argv[2]));
    if (HasTrayIcon()) Say("note: the notification area already shows an icon");
    SeedSettings();

    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Say("error: Larkspur.exe did not start");
        return 1;
    }
    CloseHandle(process.hThread);
    const auto elapsed = [&] {
        QueryPerformanceCounter(&now);
        return 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    };

    // Both within 20 s, watched every 2 ms.
    bool mainForm = false, trayIcon = false;
    while ((!mainForm || !trayIcon) && elapsed() < 20000 &&
           WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
        if (!mainForm && HasMainForm(process.dwProcessId)) {
            mainForm = true;
            Say("main_form_ms=" + std::to_string(elapsed()));
        }
        if (!trayIcon && HasTrayIcon()) {
            trayIcon = true;
            Say("tray_icon_ms=" + std::to_string(elapsed()));
        }
    }
    if (!mainForm) Say("main_form=none");
    if (!trayIcon) Say("tray_icon=none");

    // The first check and whatever start-up leaves running are over by then.
    Sleep(3000);
    Say("idle_start");
    Sleep(idleSeconds * 1000);
    Say("idle_end");

    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
