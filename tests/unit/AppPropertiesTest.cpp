// The settings store's logic over a key store in memory: the one-time search for the mail
// program, values of the wrong type, a settings key that cannot be opened, refused writes and
// reading strings on another thread. The encodings in the real registry are tested under Wine.

#include "settings/AppProperties.h"
#include "tests/support/TestThread.h"
#include "tests/unit/MemoryKeyStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

namespace {

const char kKey[] = "Software\\Test";

class AppPropertiesTest : public ::testing::Test {
protected:
    std::unique_ptr<TAppProperties> Load() {
        return std::make_unique<TAppProperties>(
            std::make_unique<MemoryKeyStore>(Registry), kKey,
            TSettingsEnvironment{[this] { return DialUp; },
                                 [this] {
                                     ++Searches;
                                     return Found;
                                 },
                                 [this](const std::string& path) { return path == Existing; }});
    }
    MemoryRegistry::Values& Section(const std::string& name) {
        return Registry->keys[std::string(kKey) + "\\" + name];
    }
    bool HasSection(const std::string& name) {
        return Registry->keys.count(std::string(kKey) + "\\" + name) != 0;
    }

    std::shared_ptr<MemoryRegistry> Registry = std::make_shared<MemoryRegistry>();
    bool DialUp = false;
    std::string Found = "C:\\Mail\\mail.exe";
    std::string Existing;
    int Searches = 0;
};

TEST_F(AppPropertiesTest, MailProgramIsSearchedOnlyWhileItsValueWasNeverStored) {
    EXPECT_EQ(Load()->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_EQ(Searches, 1);
    EXPECT_EQ(Load()->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_EQ(Searches, 1);

    // Nothing found is stored as empty and stays so.
    Registry->keys.clear();
    Found = "";
    EXPECT_EQ(Load()->MailAppPath(), "");
    EXPECT_EQ(Section("Notification").at("Mail App Path").data, std::string(1, '\0'));
    Found = "C:\\Other\\mail.exe";
    EXPECT_EQ(Load()->MailAppPath(), "");
    EXPECT_EQ(Searches, 2);

    // A deleted value is searched for again.
    Section("Notification").erase("Mail App Path");
    EXPECT_EQ(Load()->MailAppPath(), "C:\\Other\\mail.exe");
    EXPECT_EQ(Searches, 3);
}

TEST_F(AppPropertiesTest, StringOfAnotherTypeTakesItsDefaultAndTheLoadGoesOn) {
    Section("Mailbox")["Pop3 Server Address"] = MemoryRegistry::Integer(7);
    Section("Mailbox")["Password"] = {MemoryRegistry::Sz, "pw"};
    Section("Notification")["Mail App Path"] = {MemoryRegistry::Binary, "abc"};
    Section("General")["Repeat Mail Interval"] = MemoryRegistry::Integer(5);

    auto props = Load();
    EXPECT_EQ(props->Pop3ServerAddress(), "");
    EXPECT_EQ(props->Password(), "pw");
    EXPECT_EQ(props->RepeatMailInterval(), 5);
    // The mail program's default is the one searched for, and storing it mends the value.
    EXPECT_EQ(props->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_EQ(Section("Notification").at("Mail App Path").type, MemoryRegistry::Sz);

    props->SetPop3ServerAddress("pop.example");
    EXPECT_EQ(Section("Mailbox").at("Pop3 Server Address").type, MemoryRegistry::Sz);
    EXPECT_EQ(Load()->Pop3ServerAddress(), "pop.example");
}

TEST_F(AppPropertiesTest, RegistryLayerStillRaisesForAStringOfAnotherType) {
    Section("Mailbox")["Password"] = MemoryRegistry::Integer(1);
    TBMRegistry registry(std::make_unique<MemoryKeyStore>(Registry), kKey);
    try {
        registry.ReadString("Mailbox", "Password", "");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Invalid data type for 'Password'");
    }
}

TEST_F(AppPropertiesTest, KeyThatCannotBeOpenedReadsDefaultsAndSettersReportTheirWrites) {
    Registry->refuseOpen = true;
    DialUp = true;
    auto props = Load();
    EXPECT_FALSE(props->SettingsComplete());
    EXPECT_TRUE(props->ShowMessageWindow());
    EXPECT_FALSE(props->StartMailApp());
    EXPECT_EQ(props->RepeatMailInterval(), 10);
    EXPECT_TRUE(props->UseDialUpNetworking());
    EXPECT_EQ(props->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_TRUE(Registry->keys.empty());

    try {
        props->SetPassword("secret");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Failed to create key Mailbox");
    }
    EXPECT_EQ(props->Password(), "secret");
    // A section that cannot be created is reported for booleans and integers too.
    EXPECT_THROW(props->SetRepeatMailInterval(3), ERegistryException);
    EXPECT_EQ(props->RepeatMailInterval(), 3);
}

TEST_F(AppPropertiesTest, RefusedStringWriteIsReportedAndOtherRefusalsAreIgnored) {
    Section("General")["Repeat Mail Interval"] = MemoryRegistry::Integer(5);
    auto props = Load();
    Registry->refuseWrites = true;

    try {
        props->SetWaveFilePath("C:\\ding.wav");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Failed to set data for 'Wave File Path'");
    }
    EXPECT_EQ(props->WaveFilePath(), "C:\\ding.wav");

    props->SetRepeatMailInterval(20);
    props->SetRepeatMailCheck(false);
    EXPECT_EQ(props->RepeatMailInterval(), 20);
    EXPECT_FALSE(props->RepeatMailCheck());
    EXPECT_EQ(Section("General").at("Repeat Mail Interval").data, MemoryRegistry::Integer(5).data);
    EXPECT_EQ(Section("General").count("Repeat Mail Check"), 0u);
}

TEST_F(AppPropertiesTest, DialUpDefaultAppliesOnlyWhileNothingIsStored) {
    DialUp = true;
    EXPECT_TRUE(Load()->UseDialUpNetworking());
    DialUp = false;
    EXPECT_FALSE(Load()->UseDialUpNetworking());

    DialUp = true;
    Load()->SetUseDialUpNetworking(false);
    EXPECT_FALSE(Load()->UseDialUpNetworking());
    EXPECT_FALSE(HasSection("Mailbox"));
}

TEST_F(AppPropertiesTest, SecurityIsNoneUnlessAModeIsStored) {
    EXPECT_EQ(Load()->Security(), smNone) << "absent";
    const std::pair<MemoryRegistry::Value, TSecurityMode> stored[] = {
        {MemoryRegistry::Integer(0), smNone},  {MemoryRegistry::Integer(1), smSTLS},
        {MemoryRegistry::Integer(2), smTLS},   {MemoryRegistry::Integer(3), smNone},
        {MemoryRegistry::Integer(-1), smNone}, {{MemoryRegistry::Sz, "2"}, smNone},
    };
    for (const auto& [value, mode] : stored) {
        Section("Mailbox")["Security"] = value;
        EXPECT_EQ(Load()->Security(), mode) << value.data;
    }

    Load()->SetSecurity(smTLS);
    EXPECT_EQ(Section("Mailbox").at("Security").data, MemoryRegistry::Integer(2).data);
    EXPECT_EQ(Load()->Security(), smTLS);
}

TEST_F(AppPropertiesTest, SignInIsThePasswordUnlessAnotherIsStored) {
    EXPECT_EQ(Load()->SignIn(), siPassword) << "absent";
    const std::pair<MemoryRegistry::Value, TSignIn> stored[] = {
        {MemoryRegistry::Integer(1), siPlain},     {MemoryRegistry::Integer(2), siMicrosoft},
        {MemoryRegistry::Integer(3), siGoogle},    {MemoryRegistry::Integer(4), siPassword},
        {MemoryRegistry::Integer(-1), siPassword}, {{MemoryRegistry::Sz, "2"}, siPassword},
    };
    for (const auto& [value, signIn] : stored) {
        Section("Mailbox")["Sign-in"] = value;
        EXPECT_EQ(Load()->SignIn(), signIn) << value.data;
    }
    Load()->SetSignIn(siMicrosoft);
    EXPECT_EQ(Section("Mailbox").at("Sign-in").data, MemoryRegistry::Integer(2).data);
}

// The password in a credential store, as the program keeps it; a plain one from before is read
// while no credential exists, and a store that fails leaves the registry to do the work.
TEST_F(AppPropertiesTest, ThePasswordLivesInTheCredentialStoreOnceOneIsWritten) {
    std::map<std::string, std::pair<std::string, std::string>> credentials;
    bool refuse = false;
    const auto load = [&] {
        return std::make_unique<TAppProperties>(
            std::make_unique<MemoryKeyStore>(Registry), kKey,
            TSettingsEnvironment{
                [] { return false; }, [] { return std::string(); },
                [](const std::string&) { return false; },
                [&](const std::string& target) -> std::optional<TSecret> {
                    if (refuse) throw Exception("no store");
                    if (!credentials.count(target)) return std::nullopt;
                    return TSecret(credentials[target].second);
                },
                [&](const std::string& target, const std::string& user, const TSecret& secret) {
                    if (refuse) throw Exception("no store");
                    credentials[target] = {user, secret.Value()};
                }});
    };
    Section("Mailbox")["Password"] = {MemoryRegistry::Sz, std::string("from before\0", 12)};
    EXPECT_EQ(load()->Password(), "from before");
    EXPECT_EQ(load()->PasswordTarget(), "Test:Mailbox");

    auto props = load();
    props->SetLoginUsername("jo@example.org");
    props->SetPassword("typed");
    EXPECT_EQ(credentials["Test:Mailbox"], (std::pair<std::string, std::string>{"jo@example.org", "typed"}));
    EXPECT_EQ(Section("Mailbox").count("Password"), 0u);
    EXPECT_EQ(load()->Password(), "typed");

    // A credential wins over a plain value that something else wrote.
    Section("Mailbox")["Password"] = {MemoryRegistry::Sz, std::string("stale\0", 6)};
    EXPECT_EQ(load()->Password(), "typed");

    refuse = true;
    EXPECT_EQ(load()->Password(), "stale");
    load()->SetPassword("kept");
    EXPECT_EQ(Section("Mailbox").at("Password").data, std::string("kept\0", 5));
}

TEST_F(AppPropertiesTest, NoBalloonAndNoQuietHoursUntilTheyAreChosen) {
    auto props = Load();
    EXPECT_FALSE(props->WindowsNotification());
    EXPECT_FALSE(props->QuietHours());
    EXPECT_EQ(props->QuietFrom(), "22:00");
    EXPECT_EQ(props->QuietTo(), "07:00");
    Section("Notification")["Quiet From"] = MemoryRegistry::Integer(2200);
    Section("Notification")["Quiet To"] = {MemoryRegistry::Sz, "6:30"};
    EXPECT_EQ(Load()->QuietFrom(), "22:00") << "another type: the default";
    EXPECT_EQ(Load()->QuietTo(), "6:30") << "read as stored, judged where it is used";
}

TEST_F(AppPropertiesTest, SettingsCompleteNeedsServerUserAndPasswordAndNothingElse) {
    auto props = Load();
    props->SetPop3ServerAddress("pop.example");
    props->SetLoginUsername("ann");
    EXPECT_FALSE(props->SettingsComplete());
    props->SetPassword(" ");
    EXPECT_TRUE(props->SettingsComplete());
    props->SetRepeatMailInterval(0);
    props->SetWaveFilePath("C:\\missing.wav");
    EXPECT_TRUE(props->SettingsComplete());
    props->SetLoginUsername("");
    EXPECT_FALSE(props->SettingsComplete());
}

TEST_F(AppPropertiesTest, MailAppExistsTestsTheConfiguredPath) {
    Existing = "C:\\Mail\\mail.exe";
    auto props = Load();
    EXPECT_TRUE(props->MailAppExists());
    props->SetMailAppPath("C:\\Gone\\mail.exe");
    EXPECT_FALSE(props->MailAppExists());
    Existing = "";
    props->SetMailAppPath("");
    EXPECT_FALSE(props->MailAppExists());
}

TEST_F(AppPropertiesTest, StringReadOnAnotherThreadIsTheOldOrTheNewTextWhole) {
    auto props = Load();
    const std::string a(200, 'a'), b(300, 'b');
    props->SetPassword(a);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    TTestThread reader([&] {
        while (!done) {
            const std::string seen = props->Password();
            if (seen != a && seen != b) ++torn;
        }
    });
    for (int i = 0; i < 20000; ++i) props->SetPassword(i % 2 ? a : b);
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
