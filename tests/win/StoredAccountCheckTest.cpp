// A check as the program runs it: the controller with the program's own host, the settings read
// from the registry, and a real count job against the test Dovecot on the POP3 port, or secured.

// The loopback listener first: it brings in Winsock 2 ahead of <windows.h>.
#include "tests/support/LoopbackListener.h"

#include "app/CheckHost.win.h"
#include "app/MailCheck.h"
#include "framework/Application.win.h"
#include "framework/Credentials.win.h"
#include "resources/resource.h"
#include "settings/AppProperties.win.h"
#include "tests/support/TestThread.h"
#include "tests/win/LoopbackRelay.h"
#include "tests/win/ProgramFixture.h"
#include "tests/win/RawRegistry.h"
#include "tests/win/WindowDriver.h"
#include "tray/TrayStatus.win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const char kTestKey[] = "Software\\Brightmoor\\LarkspurCheckTest";

class StoredAccountCheck : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
        const char* port = std::getenv("LARKSPUR_POP3_PORT");
        ASSERT_TRUE(port && std::string(port) == "110")
            << "these tests need the test Dovecot on 127.0.0.1:110 (scripts/test starts it)";
    }
    void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, kTestKey); }

    void StoreAccount(const std::string& server, const std::string& user,
                      const std::string& password) {
        const std::string mailbox = std::string(kTestKey) + "\\Mailbox";
        WriteRaw(HKEY_CURRENT_USER, mailbox, "Pop3 Server Address", REG_SZ, server);
        WriteRaw(HKEY_CURRENT_USER, mailbox, "Login Username", REG_SZ, user);
        WriteRaw(HKEY_CURRENT_USER, mailbox, "Password", REG_SZ, password);
    }

    // Loads the settings from the test key and runs one check through the program's own host,
    // beside a main form that owns the tray icon (the shell's side recorded); the "Mail" window
    // it shows is read and closed with OK.
    struct Outcome {
        bool hasResult;
        std::int32_t count;
        bool busy;
        std::string announced;
    };
    // A main form that owns the tray icon, as the program has one, with the shell's side
    // recorded; the icon goes with it.
    class TrayOwner {
    public:
        TrayOwner() {
            MainForm.CreateHandle();
            Application.SetMainForm(&MainForm);
        }
        ~TrayOwner() {
            DestroyTrayIcon();
            Application.SetMainForm(nullptr);
        }

    private:
        ShellRecorder Shell;
        TForm MainForm{IDD_MAINFORM};
    };

    Outcome CheckStoredAccount(bool userInitiated) {
        auto settings = CreateAppProperties([] { return false; }, kTestKey);
        TCheckHost host(*settings);
        TMailStatus status(host);
        TrayOwner tray;
        std::string announced;
        WindowDriver driver;
        driver.WhenWindowAppears("Mail", [&](HWND window) {
            announced = WindowText(GetDlgItem(window, IDC_NUMMESSAGESLABEL));
            ClickButton(window, "&OK");
        });
        status.CheckMail(userInitiated);
        return {status.HasCheckResult(), status.LastCount, status.Busy, announced};
    }
};

}  // namespace

TEST_F(StoredAccountCheck, TheStoredAccountIsCheckedOnThePop3Port) {
    StoreAccount("127.0.0.1", "three", "three-secret");
    const Outcome three = CheckStoredAccount(false);
    EXPECT_TRUE(three.hasResult);
    EXPECT_EQ(three.count, 3);
    EXPECT_FALSE(three.busy);
    EXPECT_EQ(three.announced, "You have 3 mail messages.");

    StoreAccount("127.0.0.1", "empty", "empty-secret");
    const Outcome empty = CheckStoredAccount(true);
    EXPECT_TRUE(empty.hasResult);
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.announced, "You have no mail messages.");
}

// Through a relay named by the address's port, which shows what went over the wire: the secure
// mode's first bytes, and the password never in the clear.
TEST_F(StoredAccountCheck, TheStoredSecurityIsTheChecks) {
    const std::string mailbox = std::string(kTestKey) + "\\Mailbox";
    const struct {
        DWORD mode;
        std::uint16_t port;
        std::string first;
    } cases[] = {{1, 110, "STLS\r\n\x16"}, {2, 995, "\x16"}};
    for (const auto& c : cases) {
        LoopbackRelay relay(c.port);
        StoreAccount("localhost:" + std::to_string(relay.Port()), "three", "three-secret");
        WriteRaw(HKEY_CURRENT_USER, mailbox, "Security", REG_DWORD, DwordData(c.mode));
        const Outcome outcome = CheckStoredAccount(true);
        EXPECT_EQ(outcome.count, 3) << c.mode;
        EXPECT_EQ(outcome.announced, "You have 3 mail messages.") << c.mode;
        const std::string sent = relay.ClientBytes();
        EXPECT_EQ(sent.substr(0, c.first.size()), c.first) << c.mode;
        EXPECT_EQ(sent.find("three-secret"), std::string::npos) << c.mode;
    }
}

TEST_F(StoredAccountCheck, AnIncompleteAccountOffersThePromptAndChecksNothing) {
    StoreAccount("127.0.0.1", "three", "");
    auto settings = CreateAppProperties([] { return false; }, kTestKey);
    TCheckHost host(*settings);
    TMailStatus status(host);

    WindowDriver driver;
    driver.WhenWindowAppears("Information Required",
                             [](HWND prompt) { ClickButton(prompt, "Enter &later"); });
    status.CheckMail(true);
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(status.HasCheckResult());
    EXPECT_FALSE(status.PromptOpen);
}

// A renewal of the access token that the token endpoint never answers ends as soon as the user
// cancels the check, not at WinHTTP's time-out, and nothing is shown.
TEST_F(StoredAccountCheck, ACancelEndsATokenRenewalThatIsNotAnswered) {
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    std::uint16_t port = 0;
    const SOCKET silent = LoopbackListener(port);
    StoreAccount("127.0.0.1", "oauth", "");
    const std::string mailbox = std::string(kTestKey) + "\\Mailbox";
    WriteRaw(HKEY_CURRENT_USER, mailbox, "Sign-in", REG_DWORD, DwordData(siMicrosoft));
    WriteRaw(HKEY_CURRENT_USER, mailbox, "OAuth Client ID", REG_SZ, std::string("client") + '\0');
    WriteRaw(HKEY_CURRENT_USER, mailbox, "OAuth Token Endpoint", REG_SZ,
             "https://127.0.0.1:" + std::to_string(port) + "/token" + '\0');
    auto settings = CreateAppProperties([] { return false; }, kTestKey);
    WriteCredential(settings->Mailbox(0).AccountTarget(), "oauth", TSecret(std::string("refresh")));
    TCheckHost host(*settings);
    TMailStatus status(host);
    TrayOwner tray;
    // Once the token endpoint has the request's connection, the user cancels.
    SOCKET request = INVALID_SOCKET;
    TTestThread endpoint([&] {
        request = accept(silent, nullptr, nullptr);
        Application.Post([&status] { status.CancelMailCheck(); });
    });
    bool errorShown = false;
    WindowDriver driver;
    driver.WhenWindowAppears("Mail Server Error", [&](HWND window) {
        errorShown = true;
        ClickButton(window, "&Ignore");
    });
    status.CheckMail(true);
    endpoint.join();
    EXPECT_FALSE(status.Busy);
    EXPECT_FALSE(status.HasCheckResult());
    EXPECT_FALSE(errorShown);
    closesocket(request);
    closesocket(silent);
    DeleteCredential(settings->Mailbox(0).AccountTarget());
    WSACleanup();
}
