#pragma once
// The program in the test process, made the way start-up makes it: settings under a test key,
// the dial-up poller over the stand-in RASAPI32.DLL with a short poll period, and the real tray,
// main form and triggers. Only the check itself is played by the test host, which records what
// the controller asks of it; and the shell's tray service is recorded.

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MailCheck.h"
#include "app/Program.win.h"
#include "framework/Form.win.h"
#include "settings/AppProperties.h"
#include "tests/support/TrayMessage.h"
#include "tests/win/RasFake.h"
#include "tray/NotifyIcon.win.h"

#include <gtest/gtest.h>

// The pixels of an icon, to tell pictures apart whatever their handles.
std::vector<std::uint32_t> IconPixels(HICON icon);

struct TrayRequest {
    DWORD Message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    TNotifyIconDataV1 Data;
    std::vector<std::uint32_t> Picture;  // the pixels of Data.hIcon when it was sent
    std::string Tip() const { return Data.szTip; }
};

// Records every request to the shell's tray service instead of sending it.
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    std::vector<TrayRequest> Requests;
    // The tips of the requests that carried one (NIF_TIP), in order.
    std::vector<std::string> Tips() const;

private:
    TNotifyIcon::TShellNotify Previous;
};


// A check played instead of a dialogue with a server: it reports Count at once, after running
// DuringCheck on the thread that runs the check.
// Results are dated 14:30.
class TestCheckHost : public ICheckHost {
public:
    explicit TestCheckHost(TAppProperties& settings) : Settings(settings) {}

    bool SettingsComplete() override;
    MailAccount Account() override;
    std::unique_ptr<IMailCountJob> CreateJob() override;
    int ShowSettingsPrompt() override;
    void OpenPropertiesDialog(int page) override;
    void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) override;
    void NotifyAfterCheck(std::int32_t count, TCountWording wording,
                          const std::vector<TMessageSummary>& newest) override;
    void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                        const std::vector<TMessageSummary>& newest) override;
    bool OnlyNewMail() override { return false; }
    TSeenIds LoadSeen(const std::string&, const std::string&) override { return {}; }
    void SaveSeen(const std::string&, const std::string&, const std::vector<std::string>&) override {
    }
    void ReportMailError(const std::string& message, TMailErrorKind kind) override;
    void ReportProgramFailure(std::exception_ptr failure) override;
    void ProcessMessages() override;
    bool Pause(int milliseconds) override;
    TDateTime Now() override;
    std::uint32_t Ticks() override;
    // The real main form's retry timer, and the program's real quiet.
    void StartRetryTimer(std::uint32_t milliseconds) override;
    void StopRetryTimer() override;
    bool KeepQuiet() override;

    std::int32_t Count = 3;
    // Failures that the next checks report instead of Count, first first.
    std::vector<std::pair<TMailErrorKind, std::string>> Failures;
    std::function<void()> DuringCheck;
    std::function<void()> DuringPrompt;
    int PromptResult = mrCancel;
    // "check", "prompt", "properties <page>", "notify <count>", "error <message>",
    // "retry in <milliseconds>"
    std::vector<std::string> Log;
    std::atomic<int> Checks{0};
    std::vector<DWORD> CheckThreads;

private:
    TAppProperties& Settings;
};

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings as the user left them; before StartProgram or with the program running.
    void Settings(bool dialUp, bool repeat = false, std::int32_t interval = 10,
                  bool complete = true);
    TAppProperties& Props();
    // Makes the program, but no main form.
    void StartGlobals();
    // StartGlobals and the real main form, as start-up makes it.
    void StartProgram();
    // StartGlobals and a bare main form that only serves hand-overs and owns the tray icon.
    void StartWithBareMainForm();
    TestCheckHost& Host();
    // The main form's window, real or bare.
    HWND MainWindow() const;
    void Connect(bool up);
    TCheckTriggers& Triggers() { return Program().Triggers; }
    const TTimedCheck* TimedCheck() { return Triggers().TimedCheck(); }

    ShellRecorder Shell;
    const TRasBinding& Binding = BoundRasLibrary();  // before the fake is scripted
    RasFake Fake{"RASAPI32.DLL"};
    std::unique_ptr<TAppProperties> PendingSettings;  // until the program takes them
    std::unique_ptr<TProgram> TheProgram;
    std::unique_ptr<TForm> BareMainForm;
};
