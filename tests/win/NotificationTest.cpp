// The notification after a check: the sound (recorded, as there is no audio device), the "Mail"
// window and the mail stub as the user's mail program, in their order and by their rules.

#include "settings/AppProperties.h"
#include "tests/unit/MemoryKeyStore.h"
#include "tests/win/MailStubTest.h"
#include "tests/win/WindowDriver.h"
#include "tray/MailSound.win.h"
#include "tray/Notification.win.h"
#include "tray/NumMessagesForm.win.h"
#include "mailprogram/MailProgram.win.h"
#include "resources/resource.h"

#include <cstdio>

namespace {

class SoundRecorder : public TSoundOutput {
public:
    void Beep(UINT type) override { Played.push_back("MessageBeep(" + std::to_string(type) + ")"); }
    void Play(const std::string& path, HMODULE module, DWORD flags) override {
        char text[32];
        std::snprintf(text, sizeof text, "0x%lx)", static_cast<unsigned long>(flags));
        Played.push_back("PlaySoundA(\"" + path + "\", " + (module ? "module, " : "null, ") + text);
    }
    std::vector<std::string> Played;
};

const std::string kBeep = "MessageBeep(0)";

class Notification : public MailStubTest {
protected:
    void SetUp() override {
        MailStubTest::SetUp();
        SetSoundOutput(&Sounds);
        Settings = std::make_unique<TAppProperties>(
            std::make_unique<MemoryKeyStore>(std::make_shared<MemoryRegistry>()), "Software\\Test",
            TSettingsEnvironment{[] { return false; }, [] { return std::string(); },
                                 MailProgramExists});
        Settings->SetStartMailApp(true);
        Settings->SetMailAppPath(Stub("mail"));
        Settings->SetMailAppCommandLineParameter("-new");
    }
    void TearDown() override {
        SetSoundOutput(nullptr);
        MailStubTest::TearDown();
    }

    // What the user sees when the "Mail" window comes up: its sentence, the sounds played and the
    // mail program starts so far. During runs first, then OK closes the window.
    struct Seen {
        std::string text;
        std::vector<std::string> sounds, starts;
    };
    Seen NotifyAndCloseWithOk(std::int32_t count, std::function<void(HWND)> during = {}) {
        Seen seen;
        WindowDriver driver;
        driver.WhenWindowAppears("Mail", [&](HWND window) {
            seen = {WindowText(GetDlgItem(window, IDC_NUMMESSAGESLABEL)), Sounds.Played, Starts()};
            if (during) during(window);
            ClickButton(window, "&OK");
        });
        NotifyAfterCheck(*Settings, count);
        EXPECT_TRUE(driver.Acted());
        return seen;
    }

    SoundRecorder Sounds;
    std::unique_ptr<TAppProperties> Settings;
};

TEST_F(Notification, SoundFirstThenTheWindowAndNoMailProgramForNoMail) {
    const Seen seen = NotifyAndCloseWithOk(0);
    EXPECT_EQ(seen.text, "You have no mail messages.");
    EXPECT_EQ(seen.sounds, std::vector<std::string>{kBeep});
    EXPECT_TRUE(Starts().empty());
}

TEST_F(Notification, MailProgramOpensOnlyAfterTheWindowIsClosed) {
    const Seen seen = NotifyAndCloseWithOk(3);
    EXPECT_EQ(seen.text, "You have 3 mail messages.");
    EXPECT_TRUE(seen.starts.empty());
    EXPECT_EQ(Starts(), std::vector<std::string>{"[ -new]"});
}

TEST_F(Notification, ASecondResultOnlyRefreshesTheOpenWindowAndSoundsAgain) {
    std::string refreshed;
    NotifyAndCloseWithOk(2, [&](HWND window) {
        NotifyAfterCheck(*Settings, 5);
        refreshed = WindowText(GetDlgItem(window, IDC_NUMMESSAGESLABEL));
        EXPECT_EQ(Sounds.Played, (std::vector<std::string>{kBeep, kBeep}));
        EXPECT_TRUE(Starts().empty());
    });
    EXPECT_EQ(refreshed, "You have 5 mail messages.");
    // The one start belongs to the result that opened the window.
    EXPECT_EQ(Starts(), std::vector<std::string>{"[ -new]"});
}

TEST_F(Notification, WithoutTheWindowTheMailProgramFollowsTheSoundAtOnce) {
    struct Case {
        bool sound, defaultSound;
        std::int32_t count;
        std::vector<std::string> sounds;
        std::size_t starts;
    };
    const Case cases[] = {
        {false, true, 3, {}, 1},
        {true, true, 3, {kBeep}, 1},
        {true, false, 0, {"PlaySoundA(\"\", null, 0x20001)"}, 0},
        {true, true, -1, {kBeep}, 0},
    };
    Settings->SetShowMessageWindow(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        Sounds.Played.clear();
        CloseStubs();
        DeleteFileA(Record.c_str());
        Settings->SetPlaySoundEnabled(c.sound);
        Settings->SetUseDefaultSound(c.defaultSound);
        NotifyAfterCheck(*Settings, c.count);
        EXPECT_FALSE(IsCountWindowOpen());
        EXPECT_EQ(Sounds.Played, c.sounds);
        EXPECT_EQ(Starts().size(), c.starts);
    }
}

TEST_F(Notification, TheWaveFilePlaysInTheBackgroundWithTheDefaultAsFallback) {
    Settings->SetUseDefaultSound(false);
    Settings->SetWaveFilePath("C:\\Sounds\\ding.wav");
    PlayMailSound(*Settings);
    Settings->SetUseDefaultSound(true);
    PlayMailSound(*Settings);
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{
                                 "PlaySoundA(\"C:\\Sounds\\ding.wav\", null, 0x20001)", kBeep}));
}

}  // namespace
