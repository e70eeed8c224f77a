// The settings store in the real registry, under a test key of the current user that each test
// starts without and deletes after.

#include "framework/Credentials.win.h"
#include "mailprogram/MailProgram.win.h"
#include "oauth/MailboxAccount.win.h"
#include "settings/AppProperties.win.h"
#include "tests/win/RawRegistry.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace {

const char kKey[] = "Software\\Brightmoor\\LarkspurTest";
const char kPasswordTarget[] = "LarkspurTest:Mailbox";

class AppPropertiesRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
        DeleteCredential(kPasswordTarget);
    }
    void TearDown() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
        DeleteCredential(kPasswordTarget);
    }

    std::unique_ptr<TAppProperties> Load(bool dialUp = false) {
        return CreateAppProperties([dialUp] { return dialUp; }, kKey);
    }
    static std::string Path(const std::string& section) {
        return std::string(kKey) + "\\" + section;
    }
    static RawValue Raw(const std::string& section, const std::string& name) {
        return ReadRaw(HKEY_CURRENT_USER, Path(section), name);
    }
    static void Put(const std::string& section, const std::string& name, DWORD type,
                    const std::string& data) {
        WriteRaw(HKEY_CURRENT_USER, Path(section), name, type, data);
    }
    static void ExpectString(const std::string& section, const std::string& name,
                             const std::string& text) {
        const RawValue v = Raw(section, name);
        EXPECT_TRUE(v.exists) << name;
        EXPECT_EQ(v.type, DWORD(REG_SZ)) << name;
        // With its terminating zero, an empty text included.
        EXPECT_EQ(v.data, text + '\0') << name;
    }
    static void ExpectDword(const std::string& section, const std::string& name, DWORD value) {
        const RawValue v = Raw(section, name);
        EXPECT_EQ(v.type, DWORD(REG_DWORD)) << name;
        EXPECT_EQ(v.data, DwordData(value)) << name;
    }
};

TEST_F(AppPropertiesRegistry, FirstStartCreatesTheKeyAndStoresOnlyTheMailProgram) {
    auto props = Load();
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_EQ(props->Mailbox(0).Pop3ServerAddress(), "");
    EXPECT_EQ(props->Mailbox(0).LoginUsername(), "");
    EXPECT_EQ(props->Mailbox(0).Password(), "");
    EXPECT_FALSE(props->Mailbox(0).SettingsComplete());
    EXPECT_TRUE(props->ShowMessageWindow());
    EXPECT_TRUE(props->PlaySoundEnabled());
    EXPECT_TRUE(props->UseDefaultSound());
    EXPECT_EQ(props->WaveFilePath(), "");
    EXPECT_FALSE(props->StartMailApp());
    EXPECT_EQ(props->MailAppCommandLineParameter(), "");
    EXPECT_TRUE(props->RepeatMailCheck());
    EXPECT_EQ(props->RepeatMailInterval(), 10);
    EXPECT_FALSE(props->UseDialUpNetworking());
    EXPECT_EQ(props->Mailbox(0).Security(), smNone);

    const std::string found = FindDefaultMailProgram();
    EXPECT_EQ(props->MailAppPath(), found);
    EXPECT_EQ(SubKeyNames(HKEY_CURRENT_USER, kKey), std::vector<std::string>{"Notification"});
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, Path("Notification")),
              std::vector<std::string>{"Mail App Path"});
    ExpectString("Notification", "Mail App Path", found);

    EXPECT_TRUE(Load(true)->UseDialUpNetworking());
}

TEST_F(AppPropertiesRegistry, BooleansAndIntegersOfTheWrongTypeOrSizeReadAsDefaults) {
    Put("Notification", "Show Window", REG_SZ, "0");
    Put("Notification", "Start Mail App", REG_BINARY, DwordData(1));
    Put("General", "Repeat Mail Check", REG_DWORD, std::string(2, '\0'));
    Put("General", "Repeat Mail Interval", REG_SZ, "5");
    Put("Mailbox", "Security", REG_SZ, "2");
    auto props = Load();
    EXPECT_TRUE(props->ShowMessageWindow());
    EXPECT_FALSE(props->StartMailApp());
    EXPECT_TRUE(props->RepeatMailCheck());
    EXPECT_EQ(props->RepeatMailInterval(), 10);
    EXPECT_EQ(props->Mailbox(0).Security(), smNone);
}

TEST_F(AppPropertiesRegistry, StringOfAnotherTypeReadsEmptyAndItsSetterStoresAProperOne) {
    Put("Mailbox", "Pop3 Server Address", REG_DWORD, DwordData(1));
    Put("Mailbox", "Login Username", REG_SZ, "ann");
    auto props = Load();
    EXPECT_EQ(props->Mailbox(0).Pop3ServerAddress(), "");
    EXPECT_EQ(props->Mailbox(0).LoginUsername(), "ann");
    props->Mailbox(0).SetPop3ServerAddress("pop.example");
    ExpectString("Mailbox", "Pop3 Server Address", "pop.example");
}

TEST_F(AppPropertiesRegistry, StoredValuesAreReadAsTheyAre) {
    Put("Mailbox", "Password", REG_SZ, "");
    Put("Mailbox", "Login Username", REG_SZ, std::string("ann\0bob", 7));
    Put("Mailbox", "Pop3 Server Address", REG_SZ, std::string("pop.example\0", 12));
    Put("Notification", "Wave File Path", REG_EXPAND_SZ, "%WINDIR%\\ding.wav");
    Put("Notification", "Show Window", REG_DWORD, DwordData(2));
    Put("Notification", "Default Sound", REG_DWORD, DwordData(0));
    Put("Notification", "Mail App Path", REG_SZ, "");
    Put("General", "Repeat Mail Interval", REG_DWORD, DwordData(DWORD(-5)));
    Put("General", "Use Dial-up Networking", REG_DWORD, DwordData(0));
    auto props = Load(true);
    EXPECT_EQ(props->Mailbox(0).Password(), "");
    EXPECT_EQ(props->Mailbox(0).LoginUsername(), "ann");
    EXPECT_EQ(props->Mailbox(0).Pop3ServerAddress(), "pop.example");
    EXPECT_EQ(props->WaveFilePath(), "%WINDIR%\\ding.wav");
    EXPECT_TRUE(props->ShowMessageWindow());
    EXPECT_FALSE(props->UseDefaultSound());
    EXPECT_EQ(props->RepeatMailInterval(), -5);
    EXPECT_FALSE(props->UseDialUpNetworking());
    // An empty mail program stays empty: it is not searched for again.
    EXPECT_EQ(props->MailAppPath(), "");
    EXPECT_FALSE(props->MailAppExists());
    EXPECT_EQ(Raw("Notification", "Mail App Path").data, "") << "read, not written again";
}

// How an administrator locks the settings down: the user may read and write them, but not
// delete, re-permit or take the keys. Reading and saving ask for no more than that.
TEST_F(AppPropertiesRegistry, KeysThatGrantOnlyReadingAndWritingAreEnough) {
    Put("Mailbox", "Pop3 Server Address", REG_SZ, "pop.example");
    Put("General", "Repeat Mail Interval", REG_DWORD, DwordData(25));
    const auto permit = [](const std::string& sddl) {
        for (const std::string& path : {std::string(kKey), Path("Mailbox"), Path("General")}) {
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
                sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
            HKEY key = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), 0);
            EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), 0);
            RegCloseKey(key);
            LocalFree(descriptor);
        }
    };
    permit("D:P(A;;KRKW;;;WD)");
    {
        auto props = Load();
        EXPECT_EQ(props->Mailbox(0).Pop3ServerAddress(), "pop.example");
        EXPECT_EQ(props->RepeatMailInterval(), 25);
        props->Mailbox(0).SetPop3ServerAddress("pop.example.org");
    }
    permit("D:P(A;;KA;;;WD)");
    EXPECT_EQ(Raw("Mailbox", "Pop3 Server Address").data, std::string("pop.example.org") + '\0');
}

TEST_F(AppPropertiesRegistry, EverySetterWritesItsValueEvenWhenUnchanged) {
    auto props = Load();
    props->Mailbox(0).SetPop3ServerAddress("pop.example");
    props->Mailbox(0).SetLoginUsername("ann");
    props->Mailbox(0).SetPassword(" ");
    props->SetShowMessageWindow(false);
    props->SetPlaySoundEnabled(false);
    props->SetUseDefaultSound(false);
    props->SetWaveFilePath("C:\\ding.wav");
    props->SetStartMailApp(true);
    props->SetMailAppPath("C:\\Mail\\mail.exe");
    props->SetMailAppCommandLineParameter("-check");
    props->SetRepeatMailCheck(false);
    props->SetRepeatMailInterval(9999);
    props->SetUseDialUpNetworking(true);
    props->Mailbox(0).SetSecurity(smTLS);
    props->Mailbox(0).SetSignIn(siGoogle);

    ExpectString("Mailbox", "Pop3 Server Address", "pop.example");
    ExpectString("Mailbox", "Login Username", "ann");
    // The password goes to the Credential Manager, not into the registry.
    EXPECT_FALSE(Raw("Mailbox", "Password").exists);
    EXPECT_EQ(ReadCredential(kPasswordTarget)->Value(), " ");
    ExpectDword("Notification", "Show Window", 0);
    ExpectDword("Notification", "Play Sound", 0);
    ExpectDword("Notification", "Default Sound", 0);
    ExpectString("Notification", "Wave File Path", "C:\\ding.wav");
    ExpectDword("Notification", "Start Mail App", 1);
    ExpectString("Notification", "Mail App Path", "C:\\Mail\\mail.exe");
    ExpectString("Notification", "Mail App Command Line Parameter", "-check");
    ExpectDword("General", "Repeat Mail Check", 0);
    ExpectDword("General", "Repeat Mail Interval", 9999);
    ExpectDword("General", "Use Dial-up Networking", 1);
    ExpectDword("Mailbox", "Security", 2);
    ExpectDword("Mailbox", "Sign-in", 3);

    // Others' changes are overwritten by the next setter call, with the same value or not.
    Put("Mailbox", "Password", REG_SZ, "changed");
    Put("General", "Repeat Mail Interval", REG_DWORD, DwordData(3));
    props->Mailbox(0).SetPassword(" ");
    props->SetRepeatMailInterval(9999);
    EXPECT_FALSE(Raw("Mailbox", "Password").exists);
    ExpectDword("General", "Repeat Mail Interval", 9999);
    props->SetMailAppCommandLineParameter("");
    ExpectString("Notification", "Mail App Command Line Parameter", "");
    props->SetMailAppCommandLineParameter("-check");

    auto again = Load();
    // A Google account sign-in: complete once an account is signed in, whatever the password.
    EXPECT_FALSE(again->Mailbox(0).SettingsComplete());
    WriteCredential(again->Mailbox(0).AccountTarget(), "ann", TSecret("refresh"));
    EXPECT_TRUE(again->Mailbox(0).SettingsComplete());
    DeleteCredential(again->Mailbox(0).AccountTarget());
    EXPECT_EQ(again->Mailbox(0).Pop3ServerAddress(), "pop.example");
    EXPECT_EQ(again->Mailbox(0).LoginUsername(), "ann");
    EXPECT_FALSE(again->ShowMessageWindow());
    EXPECT_FALSE(again->PlaySoundEnabled());
    EXPECT_FALSE(again->UseDefaultSound());
    EXPECT_EQ(again->WaveFilePath(), "C:\\ding.wav");
    EXPECT_TRUE(again->StartMailApp());
    EXPECT_EQ(again->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_EQ(again->MailAppCommandLineParameter(), "-check");
    EXPECT_FALSE(again->RepeatMailCheck());
    EXPECT_EQ(again->RepeatMailInterval(), 9999);
    EXPECT_TRUE(again->UseDialUpNetworking());
    EXPECT_EQ(again->Mailbox(0).Security(), smTLS);
}

TEST_F(AppPropertiesRegistry, MailAppExistsForAFileOnly) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    auto props = Load();
    props->SetMailAppPath(self);
    EXPECT_TRUE(props->MailAppExists());
    props->SetMailAppPath(folder);
    EXPECT_FALSE(props->MailAppExists());
    props->SetMailAppPath(std::string(self) + ".missing");
    EXPECT_FALSE(props->MailAppExists());
}

}  // namespace

// The registry's copy keeps every value as it was, types and values no setter knows included,
// and the credential manager's credentials move with their section.
TEST_F(AppPropertiesRegistry, RemovingTheFirstMailboxMovesTheSecondWithItsValuesAndCredentials) {
    const char kSecondTarget[] = "LarkspurTest:Mailbox 2";
    {
        auto props = Load();
        props->Mailbox(0).SetPassword("first");
        TMailboxSettings& second = props->AddMailbox();
        second.SetName("Work");
        second.SetLoginUsername("bob");
        second.SetPassword("second");
        second.SetOwnInterval(3);
        WriteCredential(second.AccountTarget(), "bob", TSecret("token"));
    }
    Put("Mailbox 2", "OAuth Client ID", REG_EXPAND_SZ, std::string("id\0", 3));
    Put("Mailbox", "Stale", REG_BINARY, "x");

    Load()->RemoveMailbox(0);
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Path("Mailbox 2")));
    ExpectString("Mailbox", "Name", "Work");
    ExpectDword("Mailbox", "Repeat Mail Interval", 3);
    EXPECT_EQ(Raw("Mailbox", "OAuth Client ID").type, DWORD(REG_EXPAND_SZ));
    EXPECT_FALSE(Raw("Mailbox", "Stale").exists);
    EXPECT_FALSE(Raw("General", "Removing Mailbox").exists);
    EXPECT_EQ(ReadCredential(kPasswordTarget)->Value(), "second");
    EXPECT_EQ(ReadCredential("LarkspurTest:Mailbox:Account")->Value(), "token");
    EXPECT_FALSE(ReadCredential(kSecondTarget).has_value());
    EXPECT_FALSE(ReadCredential(std::string(kSecondTarget) + ":Account").has_value());
    DeleteCredential("LarkspurTest:Mailbox:Account");
}

// The account's access token in memory belongs to the account, not to the credential's name,
// which a removal hands to the next mailbox.
TEST_F(AppPropertiesRegistry, AMailboxMovedIntoAnotherNameNeverTakesItsAccessToken) {
    auto props = Load();
    TMailboxSettings& box = props->Mailbox(0);
    box.SetLoginUsername("ann");
    box.SetSignIn(siGoogle);
    const TAccountTokens* first = &MailboxAccountTokens(box);
    EXPECT_EQ(&MailboxAccountTokens(box), first);
    box.SetLoginUsername("bob");
    EXPECT_NE(&MailboxAccountTokens(box), first);
}
