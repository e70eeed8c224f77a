// Signing in to the large providers with the real Larkspur.exe: a Microsoft account signed in
// through the user's browser against the stand-in account provider and checked at the test
// Dovecot, the provider's settings filled in from an address, and a provider's refusal explained.
// The pictures of the help's section about them are taken here.

// The scripted server first: it brings in Winsock 2 ahead of <windows.h>.
#include "tests/win/ScriptedPop3Server.h"

#include "resources/resource.h"
#include "tests/e2e/Dialogs.h"
#include "tests/e2e/Program.h"
#include "tests/support/TestAuthority.h"
#include "tests/win/RawRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

const char kAccountCredential[] = "Larkspur:Mailbox:Account";
const char kWineBrowser[] = "Software\\Wine\\WineBrowser";

// Wine opens a web page with the programs that its WineBrowser settings name, started as a
// command of the host with the page's address after it; for the length of a test that is the
// browser tool, under Wine.
class BrowserStandIn {
public:
    BrowserStandIn() : Previous(ReadRaw(HKEY_CURRENT_USER, kWineBrowser, "Browsers")) {
        const std::string command = "wine \"" + BinFolder() + "browser.exe\"";
        WriteRaw(HKEY_CURRENT_USER, kWineBrowser, "Browsers", REG_SZ, command + '\0');
    }
    ~BrowserStandIn() {
        if (Previous.exists) WriteRaw(HKEY_CURRENT_USER, kWineBrowser, "Browsers", Previous);
        else DeleteRawValue(HKEY_CURRENT_USER, kWineBrowser, "Browsers");
    }
    BrowserStandIn(const BrowserStandIn&) = delete;
    BrowserStandIn& operator=(const BrowserStandIn&) = delete;

private:
    RawValue Previous;
};

bool Holds(const std::string& data, const std::string& text) {
    std::string wide;
    for (char c : text) wide += {c, '\0'};
    return data.find(text) != std::string::npos || data.find(wide) != std::string::npos;
}

// The registry keys below the key (path for the report) whose values hold the text, as its
// bytes or as UTF-16.
void FindInRegistry(HKEY key, const std::string& path, const std::string& text,
                    std::vector<std::string>& found) {
    std::vector<char> data(1 << 16);
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, size = static_cast<DWORD>(data.size());
        const LONG status = RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS && Holds(std::string(data.data(), size), text))
            found.push_back(path + " " + name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        // A link (the 32-bit view's shared keys) leads back into the tree: its target is
        // searched where it lies.
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name, REG_OPTION_OPEN_LINK, KEY_READ, &sub) != ERROR_SUCCESS)
            continue;
        DWORD type = REG_NONE;
        if (RegQueryValueExA(sub, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            type != REG_LINK)
            FindInRegistry(sub, path + "\\" + name, text, found);
        RegCloseKey(sub);
    }
}

// The files below the folder written since the time that hold the text.
void FindInFiles(const std::string& folder, const FILETIME& since, const std::string& text,
                 std::vector<std::string>& found) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Links lead out of the prefix: the user's own folders, the drives.
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                FindInFiles(path, since, text, found);
        } else if (CompareFileTime(&entry.ftLastWriteTime, &since) >= 0) {
            std::ifstream in(path, std::ios::binary);
            if (Holds(std::string(std::istreambuf_iterator<char>(in), {}), text))
                found.push_back(path);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

// The Wine prefix's own folder, which holds its registry files and its drive C.
std::string PrefixFolder() {
    const char* prefix = std::getenv("WINEPREFIX");
    std::string path = std::string("Z:") + (prefix ? prefix : "");
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

class SignIn : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::getenv("LARKSPUR_OAUTH_PROVIDER") && std::getenv("WINEPREFIX"))
            << "these tests need the test Dovecot and the account provider (scripts/test)";
    }
    void TearDown() override { DeleteSettings(); }
};

}  // namespace

// A user of a Microsoft account, as an organisation sets Larkspur up for it (its own client ID
// and endpoints, here the stand-in provider's), types the address, lets Larkspur fill in the
// rest and signs in through the browser; the check then counts the account's mailbox. The
// refresh token is kept in the Credential Manager alone: no registry value and no file of the
// prefix holds it. The user's part of the registry is searched: the program, run by the user,
// writes nowhere else.
TEST_F(SignIn, AMicrosoftAccountSignedInThroughTheBrowserIsChecked) {
    TrustedTestAuthority authority;
    ASSERT_TRUE(authority.Trusted()) << "no test authority (LARKSPUR_POP3_AUTHORITY)";
    BrowserStandIn browser;
    FILETIME start;
    GetSystemTimeAsFileTime(&start);
    SeedAccount("", "");
    const std::string provider = std::getenv("LARKSPUR_OAUTH_PROVIDER");
    SeedMailboxString("OAuth Client ID", std::getenv("LARKSPUR_OAUTH_CLIENT"));
    SeedMailboxString("OAuth Authorization Endpoint", provider + "/authorize");
    SeedMailboxString("OAuth Token Endpoint", provider + "/token");
    RunningProgram program(Larkspur());

    HWND properties = PropertiesFromThePrompt(program);
    ASSERT_NE(properties, nullptr);
    SetWindowTextA(Control(properties, IDC_LOGINNAMEEB), "jane.doe@outlook.com");
    Click(properties, IDC_FILLINBTN);
    HWND signIn = Control(properties, IDC_SIGNINCOMBO);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(signIn, CB_GETCURSEL, 0, 0) == 2; }, kWait))
        << "Microsoft account not chosen";
    Repainted(properties);
    EXPECT_TRUE(SaveScreenshot(properties, "properties-preset"));

    // The organisation's mailbox is the test Dovecot's, without TLS.
    SetWindowTextA(Control(properties, IDC_POPSERVEREB), "127.0.0.1");
    SetWindowTextA(Control(properties, IDC_LOGINNAMEEB), "oauth");
    SendMessageA(Control(properties, IDC_SECURECONNECTIONCOMBO), CB_SETCURSEL, 0, 0);
    HWND signedInAs = Control(properties, IDC_SIGNED_IN_AS);
    EXPECT_EQ(WindowTextOf(signedInAs), "Not signed in");
    Click(properties, IDC_SIGN_IN_BUTTON);
    // Two Wine programs start on the way (the launcher, then the browser tool): on a loaded
    // machine the first start of a run has taken longer than the usual wait.
    ASSERT_TRUE(WaitUntil([&] { return WindowTextOf(signedInAs) == "Signed in as oauth"; },
                          3 * kWait))
        << WindowTextOf(signedInAs);
    Repainted(properties);
    EXPECT_TRUE(SaveScreenshot(properties, "properties-account"));
    Click(properties, IDOK);
    EXPECT_TRUE(WaitGone(program, kProperties));
    EXPECT_EQ(StoredMailboxValue("Sign-in"), "2");

    // OK puts the settings into effect, which checks; then the start-up's own request goes on.
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 2 mail messages.");
    EXPECT_EQ(ReadAndCloseCountWindow(program), "You have 2 mail messages.");
    EXPECT_TRUE(Shown(program, kError).empty());

    const std::string refreshToken = StoredCredential(kAccountCredential);
    ASSERT_NE(refreshToken, "(none)");
    ASSERT_GE(refreshToken.size(), 20u);
    std::vector<std::string> found;
    FindInRegistry(HKEY_CURRENT_USER, "HKCU", refreshToken, found);
    FindInFiles(PrefixFolder(), start, refreshToken, found);
    EXPECT_TRUE(found.empty()) << found.front();
}

// Gmail's refusal of an ordinary password where an app password is needed: the server's line,
// what to do about it, and the way to the help.
TEST_F(SignIn, AKnownRefusalIsExplainedBesideTheServersWords) {
    const char refusal[] =
        "-ERR [AUTH] Application-specific password required: "
        "https://support.google.com/accounts/answer/185833";
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    {
        ScriptedPop3Server gmail(Dialogue({"+OK Gpop ready", "+OK send PASS", refusal}));
        SeedAccount("jane.doe", "ordinary-password");
        WriteRaw(HKEY_CURRENT_USER, "Software\\Brightmoor\\Larkspur\\Mailbox",
                 "Pop3 Server Address", REG_SZ, "127.0.0.1:" + std::to_string(gmail.Port()) + '\0');
        RunningProgram program(Larkspur());
        HWND error = WaitShown(program, kError);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(WindowTextOf(GetDlgItem(error, IDC_MAILSERVERERRORLABEL)), refusal);
        EXPECT_EQ(WindowTextOf(GetDlgItem(error, IDC_ERRORADVICELABEL)),
                  "Google wants an app password here: create one under Security in your Google "
                  "account and enter it as the password, or choose \"Google account\" as the "
                  "sign-in.");
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(error, IDC_ERRORHELP)));
        Repainted(error);
        EXPECT_TRUE(SaveScreenshot(error, "mail-server-error-advice"));
    }
    WSACleanup();
}
