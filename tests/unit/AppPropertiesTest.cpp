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
    // With a credential store in memory: target, then user and secret.
    std::unique_ptr<TAppProperties> LoadWithCredentials() {
        const auto refuse = [this] {
            if (RefuseCredentials) throw Exception("no store");
        };
        return std::make_unique<TAppProperties>(
            std::make_unique<MemoryKeyStore>(Registry), kKey,
            TSettingsEnvironment{
                [] { return false; }, [] { return std::string(); },
                [](const std::string&) { return false; },
                [=](const std::string& target) -> std::optional<TSecret> {
                    refuse();
                    if (!Credentials.count(target)) return std::nullopt;
                    return TSecret(Credentials[target].second);
                },
                [=](const std::string& target, const std::string& user, const TSecret& secret) {
                    refuse();
                    Credentials[target] = {user, secret.Value()};
                },
                [=](const std::string& from, const std::string& to) {
                    refuse();
                    if (Credentials.count(from))
                        Credentials[to] = Credentials[from];
                    else
                        Credentials.erase(to);
                },
                [=](const std::string& target) {
                    refuse();
                    Credentials.erase(target);
                }});
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
    std::map<std::string, std::pair<std::string, std::string>> Credentials;
    bool RefuseCredentials = false;
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
    EXPECT_EQ(props->Mailbox(0).Pop3ServerAddress(), "");
    EXPECT_EQ(props->Mailbox(0).Password(), "pw");
    EXPECT_EQ(props->RepeatMailInterval(), 5);
    // The mail program's default is the one searched for, and storing it mends the value.
    EXPECT_EQ(props->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_EQ(Section("Notification").at("Mail App Path").type, MemoryRegistry::Sz);

    props->Mailbox(0).SetPop3ServerAddress("pop.example");
    EXPECT_EQ(Section("Mailbox").at("Pop3 Server Address").type, MemoryRegistry::Sz);
    EXPECT_EQ(Load()->Mailbox(0).Pop3ServerAddress(), "pop.example");
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
    EXPECT_FALSE(props->Mailbox(0).SettingsComplete());
    EXPECT_TRUE(props->ShowMessageWindow());
    EXPECT_FALSE(props->StartMailApp());
    EXPECT_EQ(props->RepeatMailInterval(), 10);
    EXPECT_TRUE(props->UseDialUpNetworking());
    EXPECT_EQ(props->MailAppPath(), "C:\\Mail\\mail.exe");
    EXPECT_TRUE(Registry->keys.empty());

    try {
        props->Mailbox(0).SetPassword("secret");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Failed to create key Mailbox");
    }
    EXPECT_EQ(props->Mailbox(0).Password(), "secret");
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
    EXPECT_EQ(Load()->Mailbox(0).Security(), smNone) << "absent";
    const std::pair<MemoryRegistry::Value, TSecurityMode> stored[] = {
        {MemoryRegistry::Integer(0), smNone},  {MemoryRegistry::Integer(1), smSTLS},
        {MemoryRegistry::Integer(2), smTLS},   {MemoryRegistry::Integer(3), smNone},
        {MemoryRegistry::Integer(-1), smNone}, {{MemoryRegistry::Sz, "2"}, smNone},
    };
    for (const auto& [value, mode] : stored) {
        Section("Mailbox")["Security"] = value;
        EXPECT_EQ(Load()->Mailbox(0).Security(), mode) << value.data;
    }

    Load()->Mailbox(0).SetSecurity(smTLS);
    EXPECT_EQ(Section("Mailbox").at("Security").data, MemoryRegistry::Integer(2).data);
    EXPECT_EQ(Load()->Mailbox(0).Security(), smTLS);
}

TEST_F(AppPropertiesTest, SignInIsThePasswordUnlessAnotherIsStored) {
    EXPECT_EQ(Load()->Mailbox(0).SignIn(), siPassword) << "absent";
    const std::pair<MemoryRegistry::Value, TSignIn> stored[] = {
        {MemoryRegistry::Integer(1), siPlain},     {MemoryRegistry::Integer(2), siMicrosoft},
        {MemoryRegistry::Integer(3), siGoogle},    {MemoryRegistry::Integer(4), siPassword},
        {MemoryRegistry::Integer(-1), siPassword}, {{MemoryRegistry::Sz, "2"}, siPassword},
    };
    for (const auto& [value, signIn] : stored) {
        Section("Mailbox")["Sign-in"] = value;
        EXPECT_EQ(Load()->Mailbox(0).SignIn(), signIn) << value.data;
    }
    Load()->Mailbox(0).SetSignIn(siMicrosoft);
    EXPECT_EQ(Section("Mailbox").at("Sign-in").data, MemoryRegistry::Integer(2).data);
}

// The password in a credential store, as the program keeps it; a plain one from before is read
// while no credential exists, and a store that fails leaves the registry to do the work.
TEST_F(AppPropertiesTest, ThePasswordLivesInTheCredentialStoreOnceOneIsWritten) {
    Section("Mailbox")["Password"] = {MemoryRegistry::Sz, std::string("from before\0", 12)};
    EXPECT_EQ(LoadWithCredentials()->Mailbox(0).Password(), "from before");
    EXPECT_EQ(LoadWithCredentials()->Mailbox(0).PasswordTarget(), "Test:Mailbox");

    auto props = LoadWithCredentials();
    props->Mailbox(0).SetLoginUsername("jo@example.org");
    props->Mailbox(0).SetPassword("typed");
    EXPECT_EQ(Credentials["Test:Mailbox"], (std::pair<std::string, std::string>{"jo@example.org", "typed"}));
    EXPECT_EQ(Section("Mailbox").count("Password"), 0u);
    EXPECT_EQ(LoadWithCredentials()->Mailbox(0).Password(), "typed");

    // A credential wins over a plain value that something else wrote.
    Section("Mailbox")["Password"] = {MemoryRegistry::Sz, std::string("stale\0", 6)};
    EXPECT_EQ(LoadWithCredentials()->Mailbox(0).Password(), "typed");

    RefuseCredentials = true;
    EXPECT_EQ(LoadWithCredentials()->Mailbox(0).Password(), "stale");
    LoadWithCredentials()->Mailbox(0).SetPassword("kept");
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
    props->Mailbox(0).SetPop3ServerAddress("pop.example");
    props->Mailbox(0).SetLoginUsername("ann");
    EXPECT_FALSE(props->Mailbox(0).SettingsComplete());
    props->Mailbox(0).SetPassword(" ");
    EXPECT_TRUE(props->Mailbox(0).SettingsComplete());
    props->SetRepeatMailInterval(0);
    props->SetWaveFilePath("C:\\missing.wav");
    EXPECT_TRUE(props->Mailbox(0).SettingsComplete());
    props->Mailbox(0).SetLoginUsername("");
    EXPECT_FALSE(props->Mailbox(0).SettingsComplete());
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
    props->Mailbox(0).SetPassword(a);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    TTestThread reader([&] {
        while (!done) {
            const std::string seen = props->Mailbox(0).Password();
            if (seen != a && seen != b) ++torn;
        }
    });
    for (int i = 0; i < 20000; ++i) props->Mailbox(0).SetPassword(i % 2 ? a : b);
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace

// Several mailboxes: "Mailbox", "Mailbox 2", ... with the credentials under the section's name.
class MailboxListTest : public AppPropertiesTest {
protected:
    // Three mailboxes named A, B and C, each with its password and A with an account's token.
    void StoreThree() {
        auto props = LoadWithCredentials();
        for (const char* name : {"A", "B", "C"}) {
            TMailboxSettings& box = props->MailboxCount() == 1 && props->Mailbox(0).Name().empty()
                                        ? props->Mailbox(0)
                                        : props->AddMailbox();
            box.SetName(name);
            box.SetPassword(std::string("pw") + name);
        }
        Credentials["Test:Mailbox:Account"] = {"", "tokenA"};
    }
    // Each mailbox as "<name>/<password>", checked against the credentials of its section.
    static std::string List(TAppProperties& props) {
        std::string list;
        for (std::size_t i = 0; i < props.MailboxCount(); ++i)
            list += props.Mailbox(i).Name() + "/" + props.Mailbox(i).Password() + " ";
        return list;
    }
};

TEST_F(MailboxListTest, SiblingKeysEndAtTheFirstMissingNumberAndTakeTheGeneralInterval) {
    Section("Mailbox")["Login Username"] = {MemoryRegistry::Sz, "ann"};
    Section("Mailbox")["Pop3 Server Address"] = {MemoryRegistry::Sz, "pop.home"};
    Section("Mailbox 2")["Name"] = {MemoryRegistry::Sz, "Work"};
    Section("Mailbox 2")["Repeat Mail Interval"] = MemoryRegistry::Integer(3);
    Section("Mailbox 4")["Name"] = {MemoryRegistry::Sz, "Lost"};
    Section("General")["Repeat Mail Interval"] = MemoryRegistry::Integer(7);

    auto props = Load();
    ASSERT_EQ(props->MailboxCount(), 2u);
    EXPECT_EQ(props->Mailbox(0).Title(), "ann@pop.home");
    EXPECT_EQ(props->Mailbox(1).Title(), "Work");
    EXPECT_EQ(props->Mailbox(1).PasswordTarget(), "Test:Mailbox 2");
    EXPECT_EQ(props->IntervalOf(0), 7);
    EXPECT_EQ(props->IntervalOf(1), 3);

    props->Mailbox(1).SetOwnInterval(std::nullopt);
    props->Mailbox(1).SetName("");
    EXPECT_EQ(Section("Mailbox 2").count("Repeat Mail Interval"), 0u);
    EXPECT_EQ(Section("Mailbox 2").count("Name"), 0u);
    EXPECT_EQ(props->AddMailbox().Section(), "Mailbox 3");
    EXPECT_TRUE(HasSection("Mailbox 3"));
    EXPECT_EQ(Load()->MailboxCount(), 4u) << "the new key joins the old fourth to the list";
}

// A removal takes the mailbox's credentials (the account's token too) and moves the later ones
// down with theirs. A store that refuses from its Nth write on, at every N: the list read then,
// by a load that cannot mend it and by one that can, is the list before or the list after, never
// a mailbox lost or shown twice, and the mended store keeps no key, mark or credential beyond the
// list.
TEST_F(MailboxListTest, RemovalInterruptedAtAnyWriteLeavesNoGapAndNoDuplicate) {
    struct Case {
        std::size_t removed;
        std::string after;
        std::size_t credentialsAfter;
    };
    const std::string before = "A/pwA B/pwB C/pwC ";
    for (const Case& c : {Case{1, "A/pwA C/pwC ", 3}, Case{0, "B/pwB C/pwC ", 2}}) {
        for (int allowed = 0;; ++allowed) {
            SCOPED_TRACE(std::to_string(c.removed) + " after " + std::to_string(allowed));
            Registry->keys.clear();
            Credentials.clear();
            StoreThree();
            auto props = LoadWithCredentials();
            Registry->writesLeft = allowed;
            bool failed = false;
            try {
                props->RemoveMailbox(c.removed);
            } catch (const Exception&) {
                failed = true;
            }
            EXPECT_EQ(List(*props), failed && allowed == 0 ? before : c.after);
            const std::string refused = List(*LoadWithCredentials());
            EXPECT_TRUE(refused == before || refused == c.after) << refused;
            Registry->writesLeft = -1;
            EXPECT_EQ(List(*LoadWithCredentials()), refused);
            EXPECT_EQ(HasSection("Mailbox 3"), refused == before);
            EXPECT_EQ(Section("General").count("Removing Mailbox"), 0u);
            EXPECT_EQ(Credentials.size(), refused == before ? 4u : c.credentialsAfter);
            if (!failed) break;
        }
    }
    // The last mailbox stays.
    auto props = LoadWithCredentials();
    props->RemoveMailbox(1);
    props->RemoveMailbox(0);
    EXPECT_EQ(List(*LoadWithCredentials()), "B/pwB ");
    EXPECT_FALSE(HasSection("Mailbox 2"));
}
