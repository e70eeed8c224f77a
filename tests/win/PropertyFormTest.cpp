// "Properties" driven through its own windows, over a test key of the Wine registry: its pages,
// the enabling rules, the tests of OK with their message, page and focus, what OK, Cancel and a
// failing setter write, the interval's key filter, the file-open dialogs and the keyboard.

#include "framework/Credentials.win.h"
#include "settings/AppProperties.win.h"
#include "settings/PropertyForm.win.h"
#include "resources/resource.h"
#include "tests/support/TestBrowser.h"
#include "tests/unit/MemoryKeyStore.h"
#include "tests/win/RawRegistry.h"
#include "tests/win/WindowDriver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char kKey[] = "Software\\Brightmoor\\LarkspurPropertiesTest";
// Where the settings under kKey keep their password.
const char kPasswordTarget[] = "LarkspurPropertiesTest:Mailbox";
const char kCaption[] = "Properties";
const int kMessageText = 0xFFFF;  // the text of a message box

// A control of the dialog, on its frame or on one of its pages.
HWND Item(HWND dialog, int id) {
    if (HWND control = GetDlgItem(dialog, id)) return control;
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (HWND control = GetDlgItem(page, id)) return control;
    return nullptr;
}
std::string Text(HWND dialog, int id) {
    return WindowText(Item(dialog, id));
}
void SetText(HWND dialog, int id, const std::string& text) {
    SetWindowTextA(Item(dialog, id), text.c_str());
}
// The item a drop-down list shows.
std::string ComboText(HWND dialog, int id) {
    HWND list = Item(dialog, id);
    const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR) return "";
    std::vector<char> text(SendMessageA(list, CB_GETLBTEXTLEN, chosen, 0) + 1);
    SendMessageA(list, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}
bool Checked(HWND dialog, int id) {
    return SendMessageA(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Click(HWND dialog, int id) {
    SendMessageA(Item(dialog, id), BM_CLICK, 0, 0);
}
// Picks an item of a drop-down list as the user does, with the notification that follows.
void Choose(HWND dialog, int id, int item) {
    HWND list = Item(dialog, id);
    SendMessageA(list, CB_SETCURSEL, item, 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}
// The mailbox list's items, the chosen one in brackets.
std::string MailboxList(HWND dialog) {
    HWND list = Item(dialog, IDC_MAILBOXLIST);
    const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
    std::string items;
    for (LRESULT i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
        std::vector<char> text(SendMessageA(list, CB_GETLBTEXTLEN, i, 0) + 1);
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items += std::string(items.empty() ? "" : ", ") + (i == chosen ? "[" : "") + text.data() +
                 (i == chosen ? "]" : "");
    }
    return items;
}

// The page the user sees: the selected tab, whose page is the one visible.
int ShownPage(HWND dialog) {
    const int selected = TabCtrl_GetCurSel(GetDlgItem(dialog, IDC_PAGECONTROL));
    const char* names[] = {"General", "Mailbox", "Notification"};
    int visible = -1;
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        for (int i = 0; i < 3; ++i)
            if (IsWindowVisible(page) && WindowText(page) == names[i]) visible = i;
    return selected == visible ? selected : -1;
}
void TurnTo(HWND dialog, int page) {
    TabCtrl_SetCurFocus(GetDlgItem(dialog, IDC_PAGECONTROL), page);
}

// An edit as it looks: "white" enabled on the window colour, "grey" disabled on the button face.
std::string Look(HWND dialog, int id) {
    HWND edit = Item(dialog, id);
    RedrawWindow(GetParent(edit), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client;
    GetClientRect(edit, &client);
    HDC dc = GetDC(edit);
    const COLORREF pixel = GetPixel(dc, client.right - 2, client.bottom - 2);
    ReleaseDC(edit, dc);
    const bool enabled = IsWindowEnabled(edit);
    if (enabled && pixel == GetSysColor(COLOR_WINDOW)) return "white";
    if (!enabled && pixel == GetSysColor(COLOR_BTNFACE)) return "grey";
    return "mixed";
}
std::string OnOff(HWND dialog, int id) {
    return IsWindowEnabled(Item(dialog, id)) ? "on" : "off";
}

using Steps = std::vector<std::pair<std::string, std::function<void(HWND)>>>;

class PropertyForm : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
        DeleteCredential(kPasswordTarget);
        Settings = CreateAppProperties([] { return false; }, kKey);
    }
    void TearDown() override {
        Settings.reset();
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
        DeleteCredential(kPasswordTarget);
    }

    // Opens the dialog on a page and mailbox and takes the steps; true when it was confirmed.
    static bool Open(TAppProperties& settings, int page, const Steps& steps, int mailbox = 0) {
        WindowDriver driver;
        for (const auto& [caption, act] : steps) driver.WhenWindowAppears(caption, act);
        const bool confirmed = ShowPropertiesDialog(settings, page, mailbox);
        EXPECT_TRUE(driver.Acted());
        return confirmed;
    }
    bool Open(int page, const Steps& steps) { return Open(*Settings, page, steps); }

    // Section\value names stored under the test key, sorted.
    static std::vector<std::string> Stored() {
        std::vector<std::string> names;
        for (const std::string& section : SubKeyNames(HKEY_CURRENT_USER, kKey))
            for (const std::string& value :
                 ValueNames(HKEY_CURRENT_USER, std::string(kKey) + "\\" + section))
                names.push_back(section + "\\" + value);
        std::sort(names.begin(), names.end());
        return names;
    }
    const std::vector<std::string> kOnlyTheLoad{"Notification\\Mail App Path"};

    std::unique_ptr<TAppProperties> Settings;
};

TEST_F(PropertyForm, OpensOnTheAskedPageWithItsOwnTaskbarButtonAndOnlyOnce) {
    const std::pair<int, int> pages[] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}};
    for (const auto& [asked, shown] : pages) {
        int page = -1;
        bool appWindow = false, focusOnOk = false, secondOpened = true;
        EXPECT_FALSE(Open(asked, {{kCaption, [&](HWND dialog) {
                                       page = ShownPage(dialog);
                                       appWindow =
                                           GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW;
                                       focusOnOk = GetFocus() == GetDlgItem(dialog, IDOK);
                                       secondOpened = ShowPropertiesDialog(*Settings, 1);
                                       ClickButton(dialog, "Cancel");
                                   }}}));
        EXPECT_EQ(page, shown) << asked;
        EXPECT_TRUE(appWindow);
        EXPECT_TRUE(focusOnOk);
        EXPECT_FALSE(secondOpened);
    }
}

TEST_F(PropertyForm, FillsEveryControlFromTheSettings) {
    Settings->Mailbox(0).SetPop3ServerAddress("pop.example.com");
    Settings->Mailbox(0).SetLoginUsername("jane");
    Settings->Mailbox(0).SetPassword("pa55");
    Settings->SetShowMessageWindow(false);
    Settings->SetUseDefaultSound(false);
    Settings->SetWaveFilePath("C:\\ding.wav");
    Settings->SetStartMailApp(true);
    Settings->SetMailAppPath("C:\\mail.exe");
    Settings->SetMailAppCommandLineParameter("-new");
    Settings->SetRepeatMailCheck(false);
    Settings->SetRepeatMailInterval(25);
    Settings->SetUseDialUpNetworking(true);
    Settings->Mailbox(0).SetSecurity(smTLS);
    Settings->SetOnlyNewMail(true);
    Open(0, {{kCaption, [](HWND d) {
                  // One mailbox: the list names it, and it cannot be removed.
                  EXPECT_EQ(MailboxList(d), "[jane@pop.example.com]");
                  EXPECT_EQ(OnOff(d, IDC_REMOVEMAILBOXBTN), "off");
                  EXPECT_EQ(Text(d, IDC_MAILBOXINTERVALEB), "");
                  EXPECT_EQ(Text(d, IDC_POPSERVEREB), "pop.example.com");
                  EXPECT_EQ(Text(d, IDC_LOGINNAMEEB), "jane");
                  EXPECT_EQ(Text(d, IDC_PASSWORDEB), "pa55");
                  EXPECT_EQ(SendMessageA(Item(d, IDC_PASSWORDEB), EM_GETPASSWORDCHAR, 0, 0), '*');
                  EXPECT_FALSE(Checked(d, IDC_SHOWDIALOGCB));
                  EXPECT_TRUE(Checked(d, IDC_PLAYSOUNDCB));
                  EXPECT_FALSE(Checked(d, IDC_WINSOUNDRB));
                  EXPECT_TRUE(Checked(d, IDC_WAVFILERB));
                  EXPECT_EQ(Text(d, IDC_WAVEFILEEB), "C:\\ding.wav");
                  EXPECT_TRUE(Checked(d, IDC_LAUNCHMAILAPPCB));
                  EXPECT_EQ(Text(d, IDC_MAILAPPEB), "C:\\mail.exe");
                  EXPECT_EQ(Text(d, IDC_MAILAPPCOMMANDLINEEB), "-new");
                  EXPECT_TRUE(Checked(d, IDC_ONLYNEWMAILCB));
                  EXPECT_FALSE(Checked(d, IDC_REPEATCHECKCB));
                  EXPECT_EQ(Text(d, IDC_REPEATEVERYINTERVALEB), "25");
                  EXPECT_EQ(SendMessageA(Item(d, IDC_REPEATEVERYINTERVALEB), EM_GETLIMITTEXT, 0, 0),
                            4);
                  EXPECT_TRUE(Checked(d, IDC_USEDUNRB));
                  EXPECT_FALSE(Checked(d, IDC_DIRECTRB));
                  EXPECT_EQ(ComboText(d, IDC_SECURECONNECTIONCOMBO), "SSL/TLS (port 995)");
                  ClickButton(d, "Cancel");
              }}});
}

TEST_F(PropertyForm, EnablingRulesFollowTheTicks) {
    // Defaults: repeat on, a sound on with the default sound, no mail program.
    const struct {
        int click;  // 0: as opened
        const char* state;
    } steps[] = {
        {0, "on | on on | grey off | grey grey off | on grey grey"},
        {IDC_WAVFILERB, "on | on on | white on | grey grey off | on grey grey"},
        {IDC_PLAYSOUNDCB, "on | off off | grey off | grey grey off | on grey grey"},
        {IDC_PLAYSOUNDCB, "on | on on | white on | grey grey off | on grey grey"},
        {IDC_WINSOUNDRB, "on | on on | grey off | grey grey off | on grey grey"},
        {IDC_LAUNCHMAILAPPCB, "on | on on | grey off | white white on | on grey grey"},
        {IDC_REPEATCHECKCB, "off | on on | grey off | white white on | on grey grey"},
        {IDC_SHOWDIALOGCB, "off | on on | grey off | white white on | off grey grey"},
        {IDC_QUIETHOURSCB, "off | on on | grey off | white white on | off white white"},
    };
    Open(2, {{kCaption, [&](HWND d) {
                  for (const auto& step : steps) {
                      if (step.click) Click(d, step.click);
                      const std::string state =
                          OnOff(d, IDC_REPEATEVERYINTERVALEB) + " | " + OnOff(d, IDC_WINSOUNDRB) +
                          " " + OnOff(d, IDC_WAVFILERB) + " | " + Look(d, IDC_WAVEFILEEB) + " " +
                          OnOff(d, IDC_WAVEFILEBROWSEBTN) + " | " + Look(d, IDC_MAILAPPEB) + " " +
                          Look(d, IDC_MAILAPPCOMMANDLINEEB) + " " + OnOff(d, IDC_MAILAPPBROWSEBTN) +
                          " | " + OnOff(d, IDC_WINDOWSNOTIFICATIONCB) + " " +
                          Look(d, IDC_QUIETFROMEB) + " " + Look(d, IDC_QUIETTOEB);
                      EXPECT_EQ(state, step.state) << "after clicking " << step.click;
                  }
                  // Unticking the sound keeps the choice of sound.
                  Click(d, IDC_WAVFILERB);
                  Click(d, IDC_PLAYSOUNDCB);
                  EXPECT_TRUE(Checked(d, IDC_WAVFILERB));
                  ClickButton(d, "Cancel");
              }}});
}

// Which values fail, with which message, page and control, is the rules' table
// (PropertyRulesTest); here the dialog acts on a failure: one of a mailbox's control, which the
// list then chooses, and one of another page's, which leaves the list as it was.
TEST_F(PropertyForm, AFailingTestShowsItsMessageThenItsPageAndControlAndWritesNothing) {
    const struct {
        int openOn;
        std::function<void(HWND)> change;
        const char* message;
        int page, control;
        const char* shown;  // the list's choice and the mailbox interval on the page
    } cases[] = {
        {1,
         [](HWND d) {
             Click(d, IDC_LAUNCHMAILAPPCB);
             SetText(d, IDC_MAILAPPEB, "C:\\nowhere\\mail.exe");
         },
         "Cannot locate mail application.\r\nPlease check path.", 2, IDC_MAILAPPEB, "0:"},
        {0,
         [](HWND d) {
             Click(d, IDC_ADDMAILBOXBTN);
             SetText(d, IDC_MAILBOXINTERVALEB, "0");
             Choose(d, IDC_MAILBOXLIST, 0);
         },
         "Please specify an interval\r\nin the range 1 - 9999", 1, IDC_MAILBOXINTERVALEB, "1:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::string message;
        int page = -1;
        bool focused = false;
        std::string shown;
        EXPECT_FALSE(Open(c.openOn, {{kCaption,
                                      [&](HWND d) {
                                          c.change(d);
                                          ClickButton(d, "&OK");
                                      }},
                                     {"Information",
                                      [&](HWND box) {
                                          message = WindowText(GetDlgItem(box, kMessageText));
                                          ClickButton(box, "OK");
                                      }},
                                     {kCaption, [&](HWND d) {
                                          page = ShownPage(d);
                                          focused = GetFocus() == Item(d, c.control);
                                          shown =
                                              std::to_string(SendMessageA(Item(d, IDC_MAILBOXLIST),
                                                                          CB_GETCURSEL, 0, 0)) +
                                              ":" + Text(d, IDC_MAILBOXINTERVALEB);
                                          ClickButton(d, "Cancel");
                                      }}}));
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(page, c.page);
        EXPECT_TRUE(focused);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(Stored(), kOnlyTheLoad);
    }
}

// OK reads the controls it tests and stores: what the user typed comes back.
TEST_F(PropertyForm, OkWritesEveryValueChangedOrNot) {
    EXPECT_TRUE(Open(0, {{kCaption, [](HWND d) {
                              SetText(d, IDC_POPSERVEREB, "mail.example.com");
                              Click(d, IDC_WAVFILERB);
                              SetText(d, IDC_WAVEFILEEB, "C:\\windows\\win.ini");
                              SetText(d, IDC_REPEATEVERYINTERVALEB, "25");
                              Click(d, IDC_QUIETHOURSCB);
                              SetText(d, IDC_QUIETFROMEB, "21:30");
                              SetText(d, IDC_QUIETTOEB, "6:15");
                              ClickButton(d, "&OK");
                          }}}));
    EXPECT_EQ(
        Stored(),
        (std::vector<std::string>{
            "General\\Repeat Mail Check", "General\\Repeat Mail Interval",
            "General\\Use Dial-up Networking", "Mailbox\\Login Username",
            "Mailbox\\Pop3 Server Address", "Mailbox\\Security", "Mailbox\\Sign-in",
            "Notification\\Default Sound",
            "Notification\\Mail App Command Line Parameter", "Notification\\Mail App Path",
            "Notification\\Only New Mail",
            "Notification\\Play Sound", "Notification\\Quiet From", "Notification\\Quiet Hours",
            "Notification\\Quiet To", "Notification\\Show Window", "Notification\\Start Mail App",
            "Notification\\Wave File Path", "Notification\\Windows Notification"}));
    const auto stored = CreateAppProperties([] { return true; }, kKey);
    EXPECT_EQ(stored->Mailbox(0).Pop3ServerAddress(), "mail.example.com");
    EXPECT_TRUE(stored->PlaySoundEnabled() && !stored->UseDefaultSound() &&
                stored->RepeatMailCheck() && stored->QuietHours());
    EXPECT_EQ(stored->WaveFilePath() + " " + std::to_string(stored->RepeatMailInterval()) + " " +
                  stored->QuietFrom() + "-" + stored->QuietTo(),
              "C:\\windows\\win.ini 25 21:30-06:15");
    // The password, empty as it was, went to the Credential Manager instead.
    EXPECT_EQ(ReadCredential(kPasswordTarget)->Value(), "");
}

// The sign-in list lies below the secure connection; an account's sign-in takes the password
// row out of use, and OK stores the choice and the password.
TEST_F(PropertyForm, TheSignInListTakesThePasswordRowOutOfUseForAnAccount) {
    std::vector<std::string> items, rows;
    bool reserved = false;
    EXPECT_TRUE(Open(1, {{kCaption, [&](HWND d) {
                              HWND list = Item(d, IDC_SIGNINCOMBO);
                              for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
                                  SendMessageA(list, CB_SETCURSEL, i, 0);
                                  SendMessageA(GetParent(list), WM_COMMAND,
                                               MAKEWPARAM(IDC_SIGNINCOMBO, CBN_SELCHANGE),
                                               reinterpret_cast<LPARAM>(list));
                                  items.push_back(ComboText(d, IDC_SIGNINCOMBO));
                                  rows.push_back(OnOff(d, IDC_PASSWORDLABEL) + " " +
                                                 Look(d, IDC_PASSWORDEB));
                              }
                              // The last is an account: its button is in use, and no account
                              // of it is signed in yet.
                              reserved = OnOff(d, IDC_SIGN_IN_BUTTON) == "on" &&
                                         WindowText(Item(d, IDC_SIGNED_IN_AS)) == "Not signed in";
                              SetText(d, IDC_LOGINNAMEEB, "jane");
                              SetText(d, IDC_PASSWORDEB, "typed secret");
                              SendMessageA(list, CB_SETCURSEL, siPlain, 0);
                              ClickButton(d, "&OK");
                          }}}));
    EXPECT_EQ(items, (std::vector<std::string>{"Password", "Password (SASL PLAIN)",
                                               "Microsoft account", "Google account"}));
    EXPECT_EQ(rows, (std::vector<std::string>{"on white", "on white", "off grey", "off grey"}));
    EXPECT_TRUE(reserved);
    // Where the store keeps them is the store's to test (AppPropertiesRegistryTest).
    const auto reloaded = CreateAppProperties([] { return false; }, kKey);
    EXPECT_EQ(reloaded->Mailbox(0).Password(), "typed secret");
    EXPECT_EQ(reloaded->Mailbox(0).SignIn(), siPlain);
}

// Leaving an address in the login name fills an empty server; "Fill in for me" replaces what
// is there, and says so when it knows no settings for the address.
TEST_F(PropertyForm, AnAddressFillsInTheServerOfItsProvider) {
    std::vector<std::string> seen;
    std::string message;
    const auto state = [&](HWND d) {
        seen.push_back(Text(d, IDC_POPSERVEREB) + " | " + ComboText(d, IDC_SECURECONNECTIONCOMBO) +
                       " | " + ComboText(d, IDC_SIGNINCOMBO) + " | " + OnOff(d, IDC_PASSWORDEB));
    };
    const auto leaveLoginName = [](HWND d) {
        SetFocus(Item(d, IDC_LOGINNAMEEB));
        SetFocus(Item(d, IDC_PASSWORDEB));
    };
    Open(1, {{kCaption,
              [&](HWND d) {
                  SetText(d, IDC_LOGINNAMEEB, "jane@Outlook.com");
                  leaveLoginName(d);
                  state(d);
                  // A server already entered stays when the login name is left.
                  SetText(d, IDC_LOGINNAMEEB, "jane@gmail.com");
                  leaveLoginName(d);
                  state(d);
                  Click(d, IDC_FILLINBTN);
                  state(d);
                  SetText(d, IDC_LOGINNAMEEB, "jane@example.com");
                  PostMessageA(Item(d, IDC_FILLINBTN), BM_CLICK, 0, 0);
              }},
             {"Information",
              [&](HWND box) {
                  message = WindowText(GetDlgItem(box, kMessageText));
                  ClickButton(box, "OK");
              }},
             {kCaption, [&](HWND d) {
                  state(d);
                  ClickButton(d, "Cancel");
              }}});
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "outlook.office365.com | SSL/TLS (port 995) | Microsoft account | off",
                        "outlook.office365.com | SSL/TLS (port 995) | Microsoft account | off",
                        "pop.gmail.com | SSL/TLS (port 995) | Microsoft account | off",
                        "pop.gmail.com | SSL/TLS (port 995) | Microsoft account | off"}));
    EXPECT_EQ(message, "Larkspur knows no settings for this address. Please enter your mail "
                       "server yourself.");
}

// The list lies below the password, in the order of the stored values, and what the user picks
// there is stored as "Security".
TEST_F(PropertyForm, TheSecureConnectionListOffersTheThreeModes) {
    std::vector<std::string> items;
    bool belowPassword = false, followsPassword = false;
    EXPECT_TRUE(Open(1, {{kCaption, [&](HWND d) {
                              HWND list = Item(d, IDC_SECURECONNECTIONCOMBO);
                              for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
                                  SendMessageA(list, CB_SETCURSEL, i, 0);
                                  items.push_back(ComboText(d, IDC_SECURECONNECTIONCOMBO));
                              }
                              RECT password, box;
                              GetWindowRect(Item(d, IDC_PASSWORDEB), &password);
                              GetWindowRect(list, &box);
                              belowPassword = box.top >= password.bottom;
                              followsPassword =
                                  GetNextDlgTabItem(GetParent(list), Item(d, IDC_PASSWORDEB),
                                                    FALSE) == list;
                              SendMessageA(list, CB_SETCURSEL, smSTLS, 0);
                              ClickButton(d, "&OK");
                          }}}));
    EXPECT_EQ(items,
              (std::vector<std::string>{"None", "STLS on the POP3 port", "SSL/TLS (port 995)"}));
    EXPECT_TRUE(belowPassword);
    EXPECT_TRUE(followsPassword);
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, std::string(kKey) + "\\Mailbox", "Security").data,
              DwordData(smSTLS));
    EXPECT_EQ(CreateAppProperties([] { return false; }, kKey)->Mailbox(0).Security(), smSTLS);
}

TEST_F(PropertyForm, CancelEscAndTheCloseBoxWriteNothing) {
    const std::function<void(HWND)> closers[] = {
        [](HWND d) { ClickButton(d, "Cancel"); },
        [](HWND d) { PressKey(d, VK_ESCAPE); },
        [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& close : closers) {
        EXPECT_FALSE(Open(1, {{kCaption, [&](HWND d) {
                                   SetText(d, IDC_POPSERVEREB, "typed.example.com");
                                   Click(d, IDC_ADDMAILBOXBTN);
                                   SetText(d, IDC_POPSERVEREB, "added.example.com");
                                   close(d);
                               }}}));
        EXPECT_EQ(Stored(), kOnlyTheLoad);
        EXPECT_EQ(Settings->Mailbox(0).Pop3ServerAddress(), "");
    }
}

// The list names each mailbox and the page shows the chosen one's fields; adding and removing
// change the list only, until OK writes every mailbox.
TEST_F(PropertyForm, TheMailboxListShowsTheChosenMailboxAndOkWritesEachOne) {
    Settings->Mailbox(0).SetPop3ServerAddress("a.example.com");
    Settings->Mailbox(0).SetLoginUsername("jane");
    TMailboxSettings& work = Settings->AddMailbox();
    work.SetName("Work");
    work.SetPop3ServerAddress("b.example.com");
    work.SetOwnInterval(5);
    work.SetSecurity(smTLS);
    std::vector<std::string> seen;
    bool nameFocused = false;
    const auto state = [&](HWND d) {
        seen.push_back(MailboxList(d) + " | " + Text(d, IDC_MAILBOXNAMEEB) + " " +
                       Text(d, IDC_POPSERVEREB) + " " + Text(d, IDC_MAILBOXINTERVALEB) + " " +
                       ComboText(d, IDC_SECURECONNECTIONCOMBO) + " | remove " +
                       OnOff(d, IDC_REMOVEMAILBOXBTN) + ", sign in " +
                       OnOff(d, IDC_SIGN_IN_BUTTON));
    };
    EXPECT_TRUE(Open(*Settings, 1,
                     {{kCaption,
                       [&](HWND d) {
                           state(d);
                           Choose(d, IDC_MAILBOXLIST, 0);
                           state(d);
                           Click(d, IDC_ADDMAILBOXBTN);
                           nameFocused = GetFocus() == Item(d, IDC_MAILBOXNAMEEB);
                           // An account's sign-in waits until the new mailbox is stored.
                           Choose(d, IDC_SIGNINCOMBO, siMicrosoft);
                           state(d);
                           SetText(d, IDC_POPSERVEREB, "c.example.com");
                           SetText(d, IDC_LOGINNAMEEB, "joe");
                           SetText(d, IDC_MAILBOXINTERVALEB, "7");
                           Choose(d, IDC_MAILBOXLIST, 0);
                           Click(d, IDC_REMOVEMAILBOXBTN);
                           state(d);
                           ClickButton(d, "&OK");
                       }}},
                     1));
    EXPECT_EQ(seen,
              (std::vector<std::string>{
                  "jane@a.example.com, [Work] | Work b.example.com 5 SSL/TLS (port 995) | "
                  "remove on, sign in off",
                  "[jane@a.example.com], Work |  a.example.com  None | remove on, sign in off",
                  "jane@a.example.com, Work, [New mailbox] |    None | remove on, sign in off",
                  "[Work], joe@c.example.com | Work b.example.com 5 SSL/TLS (port 995) | "
                  "remove on, sign in off"}));
    EXPECT_TRUE(nameFocused);
    // A mailbox past the list opens on the first.
    const auto reloaded = CreateAppProperties([] { return false; }, kKey);
    std::string list;
    Open(*reloaded, 1,
         {{kCaption,
           [&](HWND d) {
               list = MailboxList(d);
               ClickButton(d, "Cancel");
           }}},
         9);
    EXPECT_EQ(list, "[Work], joe@c.example.com");
    EXPECT_EQ(reloaded->IntervalOf(1), 7);
}

TEST_F(PropertyForm, ASetterErrorKeepsTheDialogOpenAndReportsItsMessage) {
    auto registry = std::make_shared<MemoryRegistry>();
    registry->refuseValue = "Password";
    TAppProperties refusing(std::make_unique<MemoryKeyStore>(registry), "Software\\Test",
                            TSettingsEnvironment{[] { return false; }, [] { return std::string(); },
                                                 [](const std::string&) { return false; }});
    registry->writes.clear();
    ReportRecorder reports;
    std::vector<std::string> reported;
    EXPECT_FALSE(Open(refusing, 0,
                      {{kCaption, [](HWND d) { ClickButton(d, "&OK"); }},
                       {kCaption, [&](HWND d) {
                            // Still open once the report has come through.
                            PumpUntil([&] { return !reports.Reports().empty(); }, 5000);
                            reported = reports.Reports();
                            ClickButton(d, "Cancel");
                        }}}));
    EXPECT_EQ(reported, std::vector<std::string>{"Failed to set data for 'Password'"});
    EXPECT_EQ(registry->writes,
              (std::vector<std::string>{"Pop3 Server Address", "Login Username"}));
}

TEST_F(PropertyForm, TheIntervalTakesDigitsAndBackspaceOnlyUpToFourOfThem) {
    Open(0, {{kCaption, [](HWND d) {
                  HWND edit = Item(d, IDC_REPEATEVERYINTERVALEB);
                  SetWindowTextA(edit, "");
                  auto type = [&](const std::string& keys) {
                      for (char key : keys) SendMessageA(edit, WM_CHAR, key, 1);
                      return WindowText(edit);
                  };
                  EXPECT_EQ(type("a1-2 x"), "12");
                  EXPECT_EQ(type("\b"), "1");
                  EXPECT_EQ(type("23456"), "1234");
                  ClickButton(d, "Cancel");
              }}});
}

TEST_F(PropertyForm, BrowsingPicksAFileAndANewMailProgramDropsItsParameters) {
    const int kFileName = 1148, kFileType = 1136, kReadOnly = 1040;  // of the file-open dialog
    std::string mailFilter, waveFilter, mailApp, parameters, waveFile;
    bool readOnlyShown = true;
    Open(2, {{kCaption,
              [](HWND d) {
                  Click(d, IDC_LAUNCHMAILAPPCB);
                  SetText(d, IDC_MAILAPPCOMMANDLINEEB, "-old");
                  PostMessageA(Item(d, IDC_MAILAPPBROWSEBTN), BM_CLICK, 0, 0);
              }},
             {"Open",
              [&](HWND open) {
                  mailFilter = WindowText(GetDlgItem(open, kFileType));
                  readOnlyShown = IsWindowVisible(GetDlgItem(open, kReadOnly));
                  SetDlgItemTextA(open, kFileName, "C:\\windows\\notepad.exe");
                  PostMessageA(open, WM_COMMAND, IDOK, 0);
              }},
             {kCaption,
              [&](HWND d) {
                  mailApp = Text(d, IDC_MAILAPPEB);
                  parameters = Text(d, IDC_MAILAPPCOMMANDLINEEB);
                  Click(d, IDC_WAVFILERB);
                  SetText(d, IDC_WAVEFILEEB, "C:\\ding.wav");
                  PostMessageA(Item(d, IDC_WAVEFILEBROWSEBTN), BM_CLICK, 0, 0);
              }},
             {"Open",
              [&](HWND open) {
                  waveFilter = WindowText(GetDlgItem(open, kFileType));
                  PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
              }},
             {kCaption, [&](HWND d) {
                  waveFile = Text(d, IDC_WAVEFILEEB);
                  ClickButton(d, "Cancel");
              }}});
    EXPECT_EQ(mailFilter, "Executables (*.exe)");
    EXPECT_FALSE(readOnlyShown);
    EXPECT_EQ(mailApp, "C:\\windows\\notepad.exe");
    EXPECT_EQ(parameters, "");
    EXPECT_EQ(waveFilter, "Wave Files (*.wav)");
    EXPECT_EQ(waveFile, "C:\\ding.wav");
}

TEST_F(PropertyForm, CtrlTabTurnsThePagesAndAcceleratorsReachOnlyTheShownPage) {
    BYTE keys[256];
    GetKeyboardState(keys);
    auto press = [&](std::initializer_list<int> held, UINT key, bool alt = false) {
        BYTE state[256];
        std::copy(keys, keys + 256, state);
        for (int k : held) state[k] = 0x80;
        SetKeyboardState(state);
        HWND focus = GetFocus();
        if (alt)
            PostMessageA(focus, WM_SYSCHAR, key, 0x20000001);
        else
            PostMessageA(focus, WM_KEYDOWN, key, 1);
    };
    std::vector<int> pages;
    bool focusStaysSeen = false, focusOnInterval = false, focusOnServer = false;
    Open(0, {{kCaption, [&](HWND) { press({VK_CONTROL}, VK_TAB); }},
             {kCaption,
              [&](HWND d) {
                  pages.push_back(ShownPage(d));
                  press({VK_CONTROL, VK_SHIFT}, VK_TAB);
              }},
             {kCaption,
              [&](HWND d) {
                  pages.push_back(ShownPage(d));
                  press({VK_CONTROL, VK_SHIFT}, VK_TAB);
              }},
             {kCaption,
              [&](HWND d) {
                  pages.push_back(ShownPage(d));
                  TurnTo(d, 0);
                  // "&Play a sound" and "&password" lie on hidden pages.
                  press({}, 'p', true);
              }},
             {kCaption,
              [&](HWND) {
                  focusStaysSeen = IsWindowVisible(GetFocus());
                  press({}, 'm', true);
              }},
             {kCaption,
              [&](HWND d) {
                  focusOnInterval = GetFocus() == Item(d, IDC_REPEATEVERYINTERVALEB);
                  TurnTo(d, 1);
                  press({}, 's', true);
              }},
             {kCaption, [&](HWND d) {
                  focusOnServer = GetFocus() == Item(d, IDC_POPSERVEREB);
                  SetKeyboardState(keys);
                  ClickButton(d, "Cancel");
              }}});
    SetKeyboardState(keys);
    EXPECT_EQ(pages, (std::vector<int>{1, 0, 2}));
    EXPECT_TRUE(focusStaysSeen);
    EXPECT_TRUE(focusOnInterval);
    EXPECT_TRUE(focusOnServer);
}

}  // namespace

// "Sign in…" signs the listed account in through the stand-in provider, with the test as the
// browser: the page then names the account, and its refresh token is in the Credential Manager,
// not among the settings.
TEST_F(PropertyForm, SignInSignsTheAccountInThroughTheBrowserAndNamesIt) {
    const std::string provider = std::getenv("LARKSPUR_OAUTH_PROVIDER");
    const std::string mailbox = std::string(kKey) + "\\Mailbox";
    const auto put = [&](const char* name, const std::string& value) {
        WriteRaw(HKEY_CURRENT_USER, mailbox, name, REG_SZ, value + '\0');
    };
    put("Login Username", "oauth");
    put("OAuth Client ID", std::getenv("LARKSPUR_OAUTH_CLIENT"));
    put("OAuth Authorization Endpoint", provider + "/authorize");
    put("OAuth Token Endpoint", provider + "/token");
    WriteRaw(HKEY_CURRENT_USER, mailbox, "Sign-in", REG_DWORD, DwordData(siMicrosoft));
    Settings = CreateAppProperties([] { return false; }, kKey);
    DeleteCredential(Settings->Mailbox(0).AccountTarget());
    WSADATA winsock;
    WSAStartup(MAKEWORD(1, 1), &winsock);
    std::string page;
    SignInBrowser = [&](const std::string& url) {
        page = TestBrowser::FollowRedirect(TestBrowser::Authorize(url));
        return true;
    };
    std::string before, after;
    Open(1, {{kCaption, [&](HWND d) {
                  before = Text(d, IDC_SIGNED_IN_AS);
                  Click(d, IDC_SIGN_IN_BUTTON);
                  PumpUntil([&] { return Text(d, IDC_SIGNED_IN_AS) != before; });
                  after = Text(d, IDC_SIGNED_IN_AS);
                  ClickButton(d, "Cancel");
              }}});
    SignInBrowser = OpenInBrowser;
    WSACleanup();
    EXPECT_NE(page.find("You can close this window and return to Larkspur."), std::string::npos);
    EXPECT_EQ(before, "Not signed in");
    EXPECT_EQ(after, "Signed in as oauth");
    const std::optional<TSecret> refresh = ReadCredential(Settings->Mailbox(0).AccountTarget());
    ASSERT_TRUE(refresh);
    for (const std::string& name : ValueNames(HKEY_CURRENT_USER, mailbox))
        EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, mailbox, name).data.find(refresh->Value()),
                  std::string::npos)
            << name;
    DeleteCredential(Settings->Mailbox(0).AccountTarget());
}
