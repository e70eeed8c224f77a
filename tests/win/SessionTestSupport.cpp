#include "tests/win/SessionTestSupport.h"

#include "framework/Exception.h"
#include "mailbase/MailErrors.h"
#include "tests/support/TestThread.h"

namespace {
constexpr UINT kRunAction = WM_APP + 1;
}

std::string Outcome(const std::function<void()>& action) {
    try {
        action();
        return "";
    } catch (const EMailError& e) {
        return "EMailError: " + e.Message;
    } catch (const ESocketError& e) {
        return "ESocketError: " + e.Message;
    } catch (const ETimedOutError& e) {
        return "ETimedOutError: " + e.Message;
    } catch (const ECanceledError& e) {
        return "ECanceledError: " + e.Message;
    } catch (const EConvertError& e) {
        return "EConvertError: " + e.Message;
    }
}

std::unique_ptr<TPOP3> LoopbackSession(std::uint16_t port, int timeOut) {
    auto session = std::make_unique<TPOP3>();
    session->Server = "127.0.0.1";
    session->FixedPort = port;
    session->TimeOut = timeOut;
    session->UserName = "ann";
    session->Password = "secret";
    return session;
}

void PlayDialogue(TPOP3& session) {
    struct Close {
        TPOP3& S;
        ~Close() { S.CloseSocket(); }
    } close{session};
    session.Open();
    session.Login();
    session.Stat();
    session.Quit();
}

WaitHook::WaitHook()
    : FWindow(
          [this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
              if (msg != kRunAction) return false;
              if (FAction) FAction();
              result = 0;
              return true;
          },
          nullptr) {}

void WaitHook::RunInsideNextWait(std::function<void()> action) {
    FAction = std::move(action);
    PostMessageA(FWindow.Handle(), kRunAction, 0, 0);
}

std::pair<std::string, DWORD> RunProcess(std::string commandLine, DWORD milliseconds) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {"", 99};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    // Only the child holds the write end now, so the reads end when the child does.
    CloseHandle(writeEnd);
    std::string output;
    DWORD exitCode = 99;
    if (started) {
        TTestThread watchdog([&] {
            if (WaitForSingleObject(process.hProcess, milliseconds) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, WAIT_TIMEOUT);
        });
        char buffer[512];
        DWORD n = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            output.append(buffer, n);
        watchdog.join();
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return {output, exitCode};
}

namespace {

// The mailcount tool, in this program's folder or the one above it.
std::string MailCountPath() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = exe;
    folder.erase(folder.find_last_of('\\'));
    const std::string beside = folder + "\\mailcount.exe";
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
    return folder.substr(0, folder.find_last_of('\\')) + "\\mailcount.exe";
}

}  // namespace

std::pair<std::string, DWORD> MailCount(const std::string& arguments) {
    auto [output, exitCode] = RunProcess("\"" + MailCountPath() + "\" " + arguments);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return {output, exitCode};
}
