#pragma once
// The real Larkspur.exe, started and watched from outside through its windows.

#include <windows.h>

#include <string>
#include <vector>

// The folder of the running test executable, with a trailing backslash; Larkspur.exe and the
// test tools lie there.
std::string BinFolder();

class RunningProgram {
public:
    // Starts the executable with the given parameters (after the program name), in the given
    // current folder (empty: this process's own).
    RunningProgram(const std::string& exe, const std::string& parameters = "",
                   const std::string& currentFolder = "");
    ~RunningProgram();  // ends the process if it still runs
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return Process != nullptr; }
    DWORD Id() const { return ProcessId; }
    // Waits for the process to end; true with its exit code when it did within the time.
    bool WaitForExit(DWORD milliseconds, DWORD* exitCode = nullptr);
    bool Running();
    // Waits until the process has a top-level window with this title (visible or not).
    HWND WaitForWindow(const std::string& title, DWORD milliseconds);
    std::vector<HWND> TopLevelWindows();

private:
    HANDLE Process = nullptr;
    DWORD ProcessId = 0;
};

std::string WindowTextOf(HWND window);

// Larkspur's settings key as an earlier run would have left it: the account of the test
// Dovecot, a direct or a dial-up connection, no periodic check, and after a check neither a
// window, a sound nor a mail program. On Wine a dial-up connection never comes up, so dial-up
// mode starts without a check.
// Any password of an earlier run in the Credential Manager goes, so that the seeded one counts.
void SeedSettings(const std::string& user, const std::string& password, bool dialUp);
// One mailbox's section ("Mailbox", "Mailbox 2", ...) on the test Dovecot, named as given.
void SeedMailbox(const std::string& section, const std::string& name, const std::string& user,
                 const std::string& password);
// The settings key and Larkspur's credentials: the password and an account's refresh token.
void DeleteSettings();

// A generic credential of the user, as the Credential Manager keeps it: its secret's bytes, or
// "(none)" when there is no such credential.
std::string StoredCredential(const std::string& target);
void WriteCredentialForTest(const std::string& target, const std::string& secret);
void DeleteCredentialForTest(const std::string& target);
// Polls until the condition holds or the time is up.
template <class Condition>
bool WaitUntil(Condition condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(50);
    }
}

// How often the text occurs in the log of the test Dovecot (LARKSPUR_POP3_LOG) so far; -1
// without one.
int Pop3LogCount(const std::string& text);
