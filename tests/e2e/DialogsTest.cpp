// What a user meets after a check, with the real Larkspur.exe against the test Dovecot: the
// "Mail" window after a double click on the tray icon, and "Mail Server Error" shown once for a
// wrong password, with the way through "Properties" to a check that works. The screenshots of
// the help document are taken here.

#include "app/SeenIdsFile.h"
#include "resources/resource.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Dialogs.h"
#include "tests/e2e/Program.h"
#include "tests/support/TestAuthority.h"
#include "tests/support/TestMaildir.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

void DoubleClickTrayIcon(RunningProgram& program) {
    PostTrayMessage(program.WaitForWindow("MainForm", kWait), WM_LBUTTONDBLCLK);
}

void SeedAccount(const std::string& password) { ::SeedAccount("three", password); }

// A key's values as stored, "name=type:data;" each; "(no key)" without the key.
std::string StoredValues(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(no key)";
    std::string values;
    char name[256];
    BYTE data[512];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        values += std::string(name) + "=" + std::to_string(type) + ":" +
                  std::string(reinterpret_cast<const char*>(data), dataSize) + ";";
    }
    RegCloseKey(key);
    return values;
}

// Where OK puts it: the Credential Manager, with no plain value left in the registry.
std::string StoredPassword() {
    const std::string plain = StoredMailboxValue("Password");
    return plain.empty() ? StoredCredential("Larkspur:Mailbox") : "(plain) " + plain;
}

// Where the program keeps the IDs of the mailbox's messages that it has told about.
std::string SeenFile(const std::string& user) {
    return std::string(std::getenv("APPDATA")) + "\\Larkspur\\" + SeenFileName("127.0.0.1", user);
}

// The middle of the envelope's frame is drawn (the animation area lies at 16, 16 at 120 pixels
// per inch); before the first frame it is bare dialog face.
bool EnvelopeShows(HWND mail) {
    HDC screen = GetDC(nullptr);
    const int corner = MulDiv(16, GetDeviceCaps(screen, LOGPIXELSY), 120);
    POINT middle{corner + 26, corner + 17};
    ClientToScreen(mail, &middle);
    const COLORREF pixel = GetPixel(screen, middle.x, middle.y);
    ReleaseDC(nullptr, screen);
    return pixel != GetSysColor(COLOR_BTNFACE);
}

int FailedLogins() { return Pop3LogCount("auth failed"); }

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        const char* port = std::getenv("LARKSPUR_POP3_PORT");
        ASSERT_TRUE(port && std::string(port) == "110" && std::getenv("LARKSPUR_POP3_MAILDIR"))
            << "these tests need the test Dovecot on 127.0.0.1:110 (scripts/test starts it)";
    }
    void TearDown() override { DeleteSettings(); }
};

TEST_F(Dialogs, ADoubleClickWithThreeMessagesOpensTheMailWindowAndOkClosesIt) {
    SeedAccount("three-secret");
    RunningProgram program(Larkspur());
    // The check of the start-up comes first.
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 3 mail messages.");

    DoubleClickTrayIcon(program);
    HWND mail = WaitShown(program, kMail);
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(mail, IDC_NUMMESSAGESLABEL)), "You have 3 mail messages.");
    EXPECT_TRUE(WaitUntil([&] { return EnvelopeShows(mail); }, kWait));
    EXPECT_TRUE(SaveScreenshot(mail, "mail-window"));
    Click(mail, IDOK);
    EXPECT_TRUE(WaitGone(program, kMail));
    EXPECT_TRUE(program.Running());
}

TEST_F(Dialogs, AWrongPasswordIsShownOnceAndSetupNowLeadsToACheckThatWorks) {
    SeedAccount("wrong");
    const int failedBefore = FailedLogins();
    RunningProgram program(Larkspur());

    HWND error = WaitShown(program, kError);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(error, IDC_ERRORTYPELABEL)),
              "Your mail server returned an error. It said:");
    EXPECT_EQ(WindowTextOf(GetDlgItem(error, IDC_MAILSERVERERRORLABEL)),
              "-ERR [AUTH] Authentication failed.");
    Repainted(error);
    EXPECT_TRUE(SaveScreenshot(error, "mail-server-error"));

    // A second failure while the dialog is up: the server has seen it, the program drops it.
    DoubleClickTrayIcon(program);
    EXPECT_TRUE(WaitUntil([&] { return FailedLogins() >= failedBefore + 2; }, kWait));
    RoundTrip(error);
    EXPECT_EQ(Shown(program, kError).size(), 1u);

    Click(error, IDC_SETUPNOW);
    HWND properties = WaitShown(program, kProperties);
    ASSERT_NE(properties, nullptr);
    EXPECT_TRUE(Shown(program, kError).empty());
    HWND tabs = GetDlgItem(properties, IDC_PAGECONTROL);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1) << "not on the Mailbox page";
    Repainted(properties);
    EXPECT_TRUE(SaveScreenshot(properties, "properties-mailbox"));
    const std::pair<int, const char*> otherPages[] = {{0, "properties-general"},
                                                      {2, "properties-notification"}};
    for (const auto& [page, name] : otherPages) {
        SendMessageA(tabs, TCM_SETCURFOCUS, page, 0);
        Repainted(properties);
        EXPECT_TRUE(SaveScreenshot(properties, name));
    }
    SendMessageA(tabs, TCM_SETCURFOCUS, 1, 0);

    SetWindowTextA(Control(properties, IDC_PASSWORDEB), "three-secret");
    Click(properties, IDOK);
    EXPECT_TRUE(WaitGone(program, kProperties));
    EXPECT_EQ(StoredPassword(), "three-secret");
    // OK puts the settings into effect, which checks again.
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 3 mail messages.");
    EXPECT_TRUE(Shown(program, kError).empty());
}

// A first start without an account: the prompt, the account entered in Properties with SSL/TLS
// chosen below the password, and the checks that follow it over TLS on the "pop3s" port, where
// the test Dovecot speaks nothing else.
TEST_F(Dialogs, AnAccountEnteredWithSslTlsIsCheckedOverTls) {
    TrustedTestAuthority authority;
    ASSERT_TRUE(authority.Trusted()) << "no test authority (LARKSPUR_POP3_AUTHORITY)";
    ::SeedAccount("", "");
    RunningProgram program(Larkspur());

    HWND properties = PropertiesFromThePrompt(program);
    ASSERT_NE(properties, nullptr);
    SetWindowTextA(Control(properties, IDC_POPSERVEREB), "localhost");
    SetWindowTextA(Control(properties, IDC_LOGINNAMEEB), "three");
    SetWindowTextA(Control(properties, IDC_PASSWORDEB), "three-secret");
    SendMessageA(Control(properties, IDC_SECURECONNECTIONCOMBO), CB_SETCURSEL, 2, 0);
    Click(properties, IDOK);
    EXPECT_TRUE(WaitGone(program, kProperties));
    EXPECT_EQ(StoredMailboxValue("Security"), "2");

    // OK puts the settings into effect, which checks; then the start-up's own request goes on.
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 3 mail messages.");
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 3 mail messages.");
    EXPECT_TRUE(Shown(program, kError).empty());
}

// "Tell me only about new mail": the first check tells every message as new, listing who sent
// it and about what in their own script; the next check of the unchanged mailbox tells of none.
TEST_F(Dialogs, WithOnlyNewMailTheMailWindowListsTheNewMessagesOnce) {
    ::SeedAccount("fresh", "fresh-secret");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brightmoor\\Larkspur\\Notification", 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const DWORD on = 1;
    RegSetValueExA(key, "Only New Mail", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                   sizeof on);
    RegCloseKey(key);
    DeleteFileA(SeenFile("fresh").c_str());
    const std::string name = "1800000001.M1.larkspur-e2e";
    ASSERT_TRUE(Deliver("fresh", name,
                        "From: =?UTF-8?B?0JDQvdC90LAg0J/QtdGC0YDQvtCy0LA=?= <anna@example.ru>\r\n"
                        "Subject: =?UTF-8?B?0J7RgtGH0ZHRgiDQt9CwINC80LDRgNGC?= & 100%\r\n"
                        "\r\nBody.\r\n"));
    {
        RunningProgram program(Larkspur());
        HWND mail = WaitShown(program, kMail);
        ASSERT_NE(mail, nullptr);
        EXPECT_EQ(WindowTextOf(GetDlgItem(mail, IDC_NUMMESSAGESLABEL)),
                  "You have 3 new mail messages.");
        EXPECT_TRUE(WaitUntil([&] { return EnvelopeShows(mail); }, kWait));
        Repainted(mail);
        EXPECT_TRUE(SaveScreenshot(mail, "mail-window-new"));
        Click(mail, IDOK);
        EXPECT_TRUE(WaitGone(program, kMail));

        DoubleClickTrayIcon(program);
        EXPECT_EQ(ReadAndCloseCountWindow(program), "You have no new mail messages.");
    }
    RemoveDelivered("fresh", name);
    DeleteFileA(SeenFile("fresh").c_str());
}

}  // namespace

// A one-mailbox install keeps its "Mailbox" key as it was through OK. A mailbox added and the
// first one removed then leave the added one in "Mailbox", with its password, and no
// "Mailbox 2" behind.
TEST_F(Dialogs, PropertiesAddsAMailboxAndRemovesOneWithoutAGap) {
    // Dial-up mode: no check on Wine. Stored as OK has always stored it.
    SeedSettings("three", "", true);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMailboxKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const DWORD zero = 0;
    for (const char* name : {"Security", "Sign-in"})
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    RegDeleteValueA(key, "Password");
    RegCloseKey(key);
    WriteCredentialForTest("Larkspur:Mailbox", "three-secret");
    const std::string second = std::string(kMailboxKey) + " 2";
    const std::string before = StoredValues(kMailboxKey);
    RunningProgram program(Larkspur());
    HWND mainForm = program.WaitForWindow("MainForm", kWait);
    ASSERT_NE(mainForm, nullptr);

    PostMessageA(mainForm, WM_COMMAND, IDM_PROPERTIES, 0);
    HWND properties = WaitShown(program, kProperties);
    ASSERT_NE(properties, nullptr);
    Click(properties, IDOK);
    EXPECT_TRUE(WaitGone(program, kProperties));
    EXPECT_EQ(StoredValues(kMailboxKey), before);
    EXPECT_EQ(StoredValues(second), "(no key)");

    PostMessageA(mainForm, WM_COMMAND, IDM_PROPERTIES, 0);
    properties = WaitShown(program, kProperties);
    ASSERT_NE(properties, nullptr);
    SendMessageA(GetDlgItem(properties, IDC_PAGECONTROL), TCM_SETCURFOCUS, 1, 0);
    Click(properties, IDC_ADDMAILBOXBTN);
    RoundTrip(properties);
    const std::pair<int, const char*> typed[] = {{IDC_MAILBOXNAMEEB, "Work"},
                                                 {IDC_POPSERVEREB, "127.0.0.1"},
                                                 {IDC_LOGINNAMEEB, "fresh"},
                                                 {IDC_PASSWORDEB, "fresh-secret"}};
    for (const auto& [id, text] : typed) SetWindowTextA(Control(properties, id), text);
    Repainted(properties);
    EXPECT_TRUE(SaveScreenshot(properties, "properties-mailboxes"));
    HWND list = Control(properties, IDC_MAILBOXLIST);
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_MAILBOXLIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Click(properties, IDC_REMOVEMAILBOXBTN);
    RoundTrip(properties);
    Click(properties, IDOK);
    EXPECT_TRUE(WaitGone(program, kProperties));
    EXPECT_EQ(StoredMailboxValue("Name") + " " + StoredMailboxValue("Login Username"),
              "Work fresh");
    EXPECT_EQ(StoredCredential("Larkspur:Mailbox"), "fresh-secret");
    EXPECT_EQ(StoredValues(second), "(no key)");
    EXPECT_EQ(StoredCredential("Larkspur:Mailbox 2"), "(none)");
    DeleteCredentialForTest("Larkspur:Mailbox 2");
}

// Two mailboxes of 3 and 0 messages: both are checked at the start and on a double click, the
// "Mail" window sums them and the hint names the one with mail, in the newer record's longer tip
// since the name makes it longer than the described 63 characters.
TEST_F(Dialogs, TwoMailboxesAreCheckedTogetherAndTheOneWithMailIsNamed) {
    const std::string work = "The office mailbox that the whole team of six shares";
    SeedAccount("three-secret");
    SeedMailbox("Mailbox", work, "three", "three-secret");
    SeedMailbox("Mailbox 2", "Home", "empty", "empty-secret");
    const int emptyLogins = Pop3LogCount("Login: user=<empty>");
    RunningProgram program(Larkspur());
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 3 mail messages.");
    EXPECT_EQ(Pop3LogCount("Login: user=<empty>"), emptyLogins + 1);
    const std::regex hint("At (1?[0-9]|2[0-3]):[0-5][0-9]: " + work + " 3");
    std::string tip = TrayIconTip();
    EXPECT_TRUE(std::regex_match(tip, hint)) << tip;
    EXPECT_GT(tip.size(), 63u);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const RECT corner{width - 640, height - 96, width, height};
    EXPECT_TRUE(Screenshot("mailboxes-tray-hint", &corner));

    DoubleClickTrayIcon(program);
    HWND mail = WaitShown(program, kMail);
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(Pop3LogCount("Login: user=<empty>"), emptyLogins + 2) << "both, one after another";
    Repainted(mail);
    EXPECT_TRUE(SaveScreenshot(mail, "mailboxes-mail-window"));
    Click(mail, IDOK);
    EXPECT_TRUE(WaitGone(program, kMail));
}

// A wrong password on the second mailbox: its error names it, and "Setup now" opens its page.
TEST_F(Dialogs, AnErrorNamesItsMailboxAndSetupNowLeadsToThatMailbox) {
    SeedAccount("three-secret");
    SeedMailbox("Mailbox", "Work", "three", "three-secret");
    SeedMailbox("Mailbox 2", "Home", "empty", "wrong");
    RunningProgram program(Larkspur());
    HWND error = WaitShown(program, kError);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(error, IDC_ERRORTYPELABEL)),
              "Your mail server for Home returned an error. It said:");
    Repainted(error);
    EXPECT_TRUE(SaveScreenshot(error, "mailboxes-error"));

    Click(error, IDC_SETUPNOW);
    HWND properties = WaitShown(program, kProperties);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(properties, IDC_PAGECONTROL), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(WindowTextOf(Control(properties, IDC_LOGINNAMEEB)), "empty");
    SetWindowTextA(Control(properties, IDC_PASSWORDEB), "empty-secret");
    Click(properties, IDOK);
    EXPECT_TRUE(WaitGone(program, kProperties));
    EXPECT_EQ(StoredCredential("Larkspur:Mailbox 2"), "empty-secret");
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 3 mail messages.");
    EXPECT_TRUE(Shown(program, kError).empty());
}
