#include "tests/e2e/Program.h"

#include <shlwapi.h>
#include <wincred.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

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

namespace {

const char kSettingsKey[] = "Software\\Brightmoor\\Larkspur";

void SetValue(const std::string& section, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    const std::string path = std::string(kSettingsKey) + "\\" + section;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetString(const std::string& section, const char* name, const std::string& value) {
    SetValue(section, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetNumber(const std::string& section, const char* name, DWORD value) {
    SetValue(section, name, REG_DWORD, &value, sizeof value);
}

}  // namespace

void SeedSettings(const std::string& user, const std::string& password, bool dialUp) {
    DeleteSettings();
    SetString("Mailbox", "Pop3 Server Address", "127.0.0.1");
    SetString("Mailbox", "Login Username", user);
    SetString("Mailbox", "Password", password);
    SetNumber("General", "Use Dial-up Networking", dialUp);
    SetNumber("General", "Repeat Mail Check", 0);
    SetNumber("Notification", "Show Window", 0);
    SetNumber("Notification", "Play Sound", 0);
    SetString("Notification", "Mail App Path", "");
}

void SeedMailbox(const std::string& section, const std::string& name, const std::string& user,
                 const std::string& password) {
    SetString(section, "Name", name);
    SetString(section, "Pop3 Server Address", "127.0.0.1");
    SetString(section, "Login Username", user);
    SetString(section, "Password", password);
}

void DeleteSettings() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    DeleteCredentialForTest("Larkspur:Mailbox");
    DeleteCredentialForTest("Larkspur:Mailbox 2");
    DeleteCredentialForTest("Larkspur:Mailbox:Account");
}

std::string StoredCredential(const std::string& target) {
    const std::wstring name(target.begin(), target.end());
    PCREDENTIALW credential = nullptr;
    if (!CredReadW(name.c_str(), CRED_TYPE_GENERIC, 0, &credential)) return "(none)";
    const std::string secret(reinterpret_cast<const char*>(credential->CredentialBlob),
                             credential->CredentialBlobSize);
    CredFree(credential);
    return secret;
}

void WriteCredentialForTest(const std::string& target, const std::string& secret) {
    std::wstring name(target.begin(), target.end());
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = name.data();
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.CredentialBlobSize = static_cast<DWORD>(secret.size());
    credential.CredentialBlob = reinterpret_cast<LPBYTE>(const_cast<char*>(secret.data()));
    CredWriteW(&credential, 0);
}

void DeleteCredentialForTest(const std::string& target) {
    const std::wstring name(target.begin(), target.end());
    CredDeleteW(name.c_str(), CRED_TYPE_GENERIC, 0);
}

int Pop3LogCount(const std::string& text) {
    const char* file = std::getenv("LARKSPUR_POP3_LOG");
    if (!file) return -1;
    std::string path = std::string("Z:") + file;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::ifstream in(path);
    int count = 0;
    for (std::string line; std::getline(in, line);)
        for (auto at = line.find(text); at != std::string::npos; at = line.find(text, at + 1))
            ++count;
    return count;
}
