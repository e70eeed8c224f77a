// A check as the program runs it: the controller with the program's own host, the settings read
// from the registry, and a real count job against the test Dovecot on the POP3 port.

#include "app/CheckHost.win.h"
#include "app/MailCheck.h"
#include "resources/resource.h"
#include "settings/AppProperties.win.h"
#include "tests/win/RawRegistry.h"
#include "tests/win/WindowDriver.h"

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

    // Loads the settings from the test key and runs one check through the program's own host;
    // the "Mail" window it shows is read and closed with OK.
    struct Outcome {
        bool hasResult;
        std::int32_t count;
        bool busy;
        std::string announced;
    };
    Outcome CheckStoredAccount(bool userInitiated) {
        auto settings = CreateAppProperties([] { return false; }, kTestKey);
        TCheckHost host(*settings);
        TMailStatus status(host);
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

TEST_F(StoredAccountCheck, TheStoredSecurityIsTheChecks) {
    StoreAccount("localhost", "three", "three-secret");
    const std::string mailbox = std::string(kTestKey) + "\\Mailbox";
    for (DWORD mode : {1, 2}) {
        WriteRaw(HKEY_CURRENT_USER, mailbox, "Security", REG_DWORD, DwordData(mode));
        const Outcome outcome = CheckStoredAccount(true);
        EXPECT_TRUE(outcome.hasResult) << mode;
        EXPECT_EQ(outcome.count, 3) << mode;
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
