#include "tests/win/ProgramFixture.h"

#include "app/MainForm.win.h"
#include "app/Program.win.h"
#include "app/Quiet.win.h"
#include "framework/Application.win.h"
#include "resources/resource.h"
#include "settings/AppProperties.win.h"
#include "tests/win/RawRegistry.h"
#include "tray/NotifyForm.win.h"
#include "tray/TrayStatus.win.h"

namespace {

const char kTestKey[] = "Software\\Brightmoor\\LarkspurProgramTest";
constexpr DWORD kQuickPolls = 2;

class PlayedJob : public IMailCountJob {
public:
    explicit PlayedJob(TestCheckHost& host) : Host(host) {}
    void SetAccount(const std::string&, const std::string&, const std::string&) override {}
    void Run() override {
        ++Host.Checks;
        Host.CheckThreads.push_back(GetCurrentThreadId());
        Host.Log.push_back("check");
        if (Host.DuringCheck) Host.DuringCheck();
        if (Canceled) {
            OnError(this, "Operation has been canceled", mekCanceled);
        } else if (!Host.Failures.empty()) {
            const auto failure = Host.Failures.front();
            Host.Failures.erase(Host.Failures.begin());
            OnError(this, failure.second, failure.first);
        } else {
            OnSuccess(this, Host.Count);
        }
    }
    void Cancel() override { Canceled = true; }

private:
    TestCheckHost& Host;
    bool Canceled = false;
};

}  // namespace

ShellRecorder::ShellRecorder() : Previous(TNotifyIcon::ShellNotify) {
    TNotifyIcon::ShellNotify = [this](DWORD message, const TNotifyIconDataV1& data) {
        Requests.push_back({message, data, IconPixels(data.hIcon)});
        return TRUE;
    };
}

ShellRecorder::~ShellRecorder() { TNotifyIcon::ShellNotify = Previous; }

std::vector<std::string> ShellRecorder::Tips() const {
    std::vector<std::string> tips;
    for (const TrayRequest& r : Requests)
        if (r.Data.uFlags & NIF_TIP) tips.push_back(r.Tip());
    return tips;
}

std::vector<std::uint32_t> IconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 32, BI_RGB};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &format,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

bool TestCheckHost::SettingsComplete() { return Settings.Mailbox(0).SettingsComplete(); }

MailAccount TestCheckHost::Account() {
    const TMailboxSettings& box = Settings.Mailbox(0);
    return {box.Pop3ServerAddress(), box.LoginUsername(), box.Password()};
}

std::unique_ptr<IMailCountJob> TestCheckHost::CreateJob() {
    return std::make_unique<PlayedJob>(*this);
}

int TestCheckHost::ShowSettingsPrompt() {
    Log.push_back("prompt");
    if (DuringPrompt) DuringPrompt();
    return PromptResult;
}

void TestCheckHost::OpenPropertiesDialog(int page) {
    Log.push_back("properties " + std::to_string(page));
}

void TestCheckHost::ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) {
    ::ShowResultInTray(count, time, wording);
}

void TestCheckHost::NotifyAfterCheck(std::int32_t count, TCountWording,
                                     const std::vector<TMessageSummary>&) {
    Log.push_back("notify " + std::to_string(count));
}

void TestCheckHost::ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                                   const std::vector<TMessageSummary>& newest) {
    ::ShowLastResult(count, time, wording, newest);
}

void TestCheckHost::ReportMailError(const std::string& message, TMailErrorKind) {
    Log.push_back("error " + message);
}

void TestCheckHost::ReportProgramFailure(std::exception_ptr failure) {
    Application.ReportException(failure);
}

void TestCheckHost::ProcessMessages() { Application.ProcessMessages(); }

bool TestCheckHost::Pause(int milliseconds) { return Application.Pause(milliseconds); }

TDateTime TestCheckHost::Now() { return EncodeDateTime({2024, 3, 9, 14, 30, 0, 0}); }

std::uint32_t TestCheckHost::Ticks() { return GetTickCount(); }

void TestCheckHost::StartRetryTimer(std::uint32_t milliseconds) {
    Log.push_back("retry in " + std::to_string(milliseconds));
    if (auto* form = dynamic_cast<TMainForm*>(Application.MainForm()))
        form->StartRetryTimer(milliseconds);
}

void TestCheckHost::StopRetryTimer() {
    if (auto* form = dynamic_cast<TMainForm*>(Application.MainForm())) form->StopRetryTimer();
}

bool TestCheckHost::KeepQuiet() { return ::KeepQuiet(Settings); }

void ProgramFixture::SetUp() {
    ASSERT_TRUE(Fake.Loaded());
    DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
    PendingSettings = CreateAppProperties([] { return false; }, kTestKey);
    PendingSettings->SetMailAppPath("");
    Settings(false);
}

void ProgramFixture::TearDown() {
    if (BareMainForm) {
        DestroyTrayIcon();
        Application.SetMainForm(nullptr);
        BareMainForm.reset();
    }
    TheProgram.reset();
    PendingSettings.reset();
    DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
}

TAppProperties& ProgramFixture::Props() {
    return TheProgram ? *TheProgram->Settings : *PendingSettings;
}

void ProgramFixture::Settings(bool dialUp, bool repeat, std::int32_t interval, bool complete) {
    TAppProperties& settings = Props();
    settings.SetUseDialUpNetworking(dialUp);
    settings.SetRepeatMailCheck(repeat);
    settings.SetRepeatMailInterval(interval);
    settings.Mailbox(0).SetPop3ServerAddress(complete ? "pop.example" : "");
    settings.Mailbox(0).SetLoginUsername(complete ? "ann" : "");
    settings.Mailbox(0).SetPassword(complete ? "secret" : "");
}

void ProgramFixture::StartGlobals() {
    LoadTrayPictures();
    TheProgram = std::make_unique<TProgram>(std::move(PendingSettings), [](TProgram& program) {
        return std::make_unique<TestCheckHost>(*program.Settings);
    });
    TheProgram->Triggers.PollPeriod = kQuickPolls;
}

void ProgramFixture::StartProgram() {
    StartGlobals();
    TheProgram->CreateMainForm();
}

void ProgramFixture::StartWithBareMainForm() {
    StartGlobals();
    BareMainForm = std::make_unique<TForm>(IDD_MAINFORM);
    BareMainForm->CreateHandle();
    Application.SetMainForm(BareMainForm.get());
}

TestCheckHost& ProgramFixture::Host() { return static_cast<TestCheckHost&>(*TheProgram->Host); }

HWND ProgramFixture::MainWindow() const {
    return BareMainForm ? BareMainForm->Handle() : TheProgram->MainForm->Handle();
}

void ProgramFixture::Connect(bool up) {
    if (up)
        Fake.SetConnections({{"isp", RasStateConnected}});
    else
        Fake.SetConnections({});
}
