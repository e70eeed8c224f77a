// The Properties dialog's values apart from its windows: the tests of OK in their order, the
// interval's conversions and key filter, and the fifteen setters.

#include "resources/resource.h"
#include "settings/AppProperties.h"
#include "settings/PropertyRules.h"
#include "tests/unit/MemoryKeyStore.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char kExisting[] = "C:\\present.exe";

bool FileExists(const std::string& path) {
    return path == kExisting;
}

// Everything valid: repeat every 10 minutes, the second of two mailboxes every 5, the wave file
// and the mail program exist.
TPropertyValues Valid() {
    TPropertyValues v;
    v.Mailboxes.resize(2);
    v.Mailboxes[1].IntervalEB = "5";
    v.RepeatCheckCB = true;
    v.RepeatEveryIntervalEB = "10";
    v.PlaySoundCB = true;
    v.WaveFileEB = kExisting;
    v.LaunchMailAppCB = true;
    v.MailAppEB = kExisting;
    v.QuietHoursCB = true;
    v.QuietFromEB = "22:00";
    v.QuietToEB = "7:00";
    return v;
}

struct ProblemCase {
    const char* what;
    std::function<void(TPropertyValues&)> change;
    const char* message;  // null: valid
    TPropertyPage page;
    int control;
    int mailbox = -1;
};

const char kInterval[] = "Please specify an interval\r\nin the range 1 - 9999";
const char kQuietTime[] = "Please specify the quiet hours\r\nas times from 00:00 to 23:59";

}  // namespace

TEST(PropertyRules, TestsOfOkInTheirOrder) {
    const ProblemCase cases[] = {
        {"all valid", [](TPropertyValues&) {}, nullptr, ppGeneral, 0},
        {"interval 0", [](TPropertyValues& v) { v.RepeatEveryIntervalEB = "0"; }, kInterval,
         ppGeneral, IDC_REPEATEVERYINTERVALEB},
        {"interval empty", [](TPropertyValues& v) { v.RepeatEveryIntervalEB = ""; }, kInterval,
         ppGeneral, IDC_REPEATEVERYINTERVALEB},
        {"interval pasted text", [](TPropertyValues& v) { v.RepeatEveryIntervalEB = "5x"; },
         kInterval, ppGeneral, IDC_REPEATEVERYINTERVALEB},
        {"interval 10000", [](TPropertyValues& v) { v.RepeatEveryIntervalEB = "10000"; }, kInterval,
         ppGeneral, IDC_REPEATEVERYINTERVALEB},
        {"interval 1 and 9999 are the bounds",
         [](TPropertyValues& v) { v.RepeatEveryIntervalEB = "9999"; }, nullptr, ppGeneral, 0},
        {"interval empty without repeat",
         [](TPropertyValues& v) {
             v.RepeatCheckCB = false;
             v.RepeatEveryIntervalEB = "";
         },
         nullptr, ppGeneral, 0},
        {"second mailbox's interval 0", [](TPropertyValues& v) { v.Mailboxes[1].IntervalEB = "0"; },
         kInterval, ppMailbox, IDC_MAILBOXINTERVALEB, 1},
        {"a mailbox's interval empty: the General one",
         [](TPropertyValues& v) { v.Mailboxes[1].IntervalEB = ""; }, nullptr, ppGeneral, 0},
        {"a mailbox's interval not tested without repeat",
         [](TPropertyValues& v) {
             v.RepeatCheckCB = false;
             v.Mailboxes[1].IntervalEB = "0";
         },
         nullptr, ppGeneral, 0},
        {"General interval before a mailbox's",
         [](TPropertyValues& v) {
             v.RepeatEveryIntervalEB = "0";
             v.Mailboxes[1].IntervalEB = "0";
         },
         kInterval, ppGeneral, IDC_REPEATEVERYINTERVALEB},
        {"wave file empty", [](TPropertyValues& v) { v.WaveFileEB = ""; },
         "Please specify a wave file.", ppNotification, IDC_WAVEFILEEB},
        {"wave file missing", [](TPropertyValues& v) { v.WaveFileEB = "C:\\gone.wav"; },
         "Cannot locate wave file.\r\nPlease check path.", ppNotification, IDC_WAVEFILEEB},
        {"wave file not used with the default sound",
         [](TPropertyValues& v) {
             v.WinSoundRB = true;
             v.WaveFileEB = "";
         },
         nullptr, ppGeneral, 0},
        {"wave file not used without a sound",
         [](TPropertyValues& v) {
             v.PlaySoundCB = false;
             v.WaveFileEB = "C:\\gone.wav";
         },
         nullptr, ppGeneral, 0},
        {"mail program empty", [](TPropertyValues& v) { v.MailAppEB = ""; },
         "Please specify a mail application.", ppNotification, IDC_MAILAPPEB},
        {"mail program missing", [](TPropertyValues& v) { v.MailAppEB = "C:\\gone.exe"; },
         "Cannot locate mail application.\r\nPlease check path.", ppNotification, IDC_MAILAPPEB},
        {"mail program not used",
         [](TPropertyValues& v) {
             v.LaunchMailAppCB = false;
             v.MailAppEB = "";
         },
         nullptr, ppGeneral, 0},
        {"interval before mail program",
         [](TPropertyValues& v) {
             v.RepeatEveryIntervalEB = "0";
             v.MailAppEB = "";
         },
         kInterval, ppGeneral, IDC_REPEATEVERYINTERVALEB},
        {"quiet from malformed", [](TPropertyValues& v) { v.QuietFromEB = "22"; }, kQuietTime,
         ppNotification, IDC_QUIETFROMEB},
        {"quiet to out of range", [](TPropertyValues& v) { v.QuietToEB = "24:00"; }, kQuietTime,
         ppNotification, IDC_QUIETTOEB},
        {"quiet times equal: no quiet hours, but valid",
         [](TPropertyValues& v) { v.QuietToEB = "22:00"; }, nullptr, ppGeneral, 0},
        {"quiet times not used",
         [](TPropertyValues& v) {
             v.QuietHoursCB = false;
             v.QuietFromEB = "late";
         },
         nullptr, ppGeneral, 0},
        {"mail program before quiet hours",
         [](TPropertyValues& v) {
             v.MailAppEB = "";
             v.QuietToEB = "";
         },
         "Please specify a mail application.", ppNotification, IDC_MAILAPPEB},
        {"wave file before mail program",
         [](TPropertyValues& v) {
             v.WaveFileEB = "";
             v.MailAppEB = "";
         },
         "Please specify a wave file.", ppNotification, IDC_WAVEFILEEB},
    };
    for (const ProblemCase& c : cases) {
        SCOPED_TRACE(c.what);
        TPropertyValues v = Valid();
        c.change(v);
        const auto problem = FindPropertyProblem(v, FileExists);
        if (!c.message) {
            EXPECT_FALSE(problem.has_value());
            continue;
        }
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->Message, c.message);
        EXPECT_EQ(problem->Page, c.page);
        EXPECT_EQ(problem->Control, c.control);
        EXPECT_EQ(problem->Mailbox, c.mailbox);
    }
}

TEST(PropertyRules, IntervalConversionsAndKeys) {
    EXPECT_EQ(IntervalToValidate("25"), 25);
    EXPECT_EQ(IntervalToValidate(""), -1);
    EXPECT_EQ(IntervalToValidate("1a"), -1);
    EXPECT_EQ(IntervalToStore("0"), 0);
    EXPECT_EQ(IntervalToStore("0042"), 42);
    EXPECT_EQ(IntervalToStore(""), 10);
    EXPECT_EQ(IntervalToStore("x"), 10);
    EXPECT_EQ(OwnIntervalToStore("0042"), 42);
    for (const char* none : {"", "0", "10000", "x"}) EXPECT_FALSE(OwnIntervalToStore(none)) << none;

    for (char c : std::string("0123456789\b")) EXPECT_TRUE(IsIntervalKey(c)) << int(c);
    for (char c : std::string("a -+.\x16\x03\r")) EXPECT_FALSE(IsIntervalKey(c)) << int(c);

    EXPECT_EQ(QuietTimeToStore("7:05", "22:00"), "07:05");
    EXPECT_EQ(QuietTimeToStore("23:59", "22:00"), "23:59");
    EXPECT_EQ(QuietTimeToStore("late", "22:00"), "22:00");
}

class StoreTest : public ::testing::Test {
protected:
    std::unique_ptr<TAppProperties> Load() {
        return std::make_unique<TAppProperties>(
            std::make_unique<MemoryKeyStore>(Registry), "Software\\Test",
            TSettingsEnvironment{[] { return false; }, [] { return std::string(); }, FileExists});
    }
    std::shared_ptr<MemoryRegistry> Registry = std::make_shared<MemoryRegistry>();
};

TEST_F(StoreTest, FifteenSettersInOrderWriteEveryValueChangedOrNot) {
    auto props = Load();
    TPropertyValues unchanged = PropertyValuesFrom(*props);
    Registry->writes.clear();
    StoreProperties(*props, unchanged);
    EXPECT_EQ(Registry->writes,
              (std::vector<std::string>{
                  "Pop3 Server Address", "Login Username", "Password", "Show Window", "Play Sound",
                  "Default Sound", "Wave File Path", "Start Mail App", "Mail App Path",
                  "Mail App Command Line Parameter", "Repeat Mail Check", "Repeat Mail Interval",
                  "Use Dial-up Networking", "Security", "Sign-in", "Only New Mail",
                  "Windows Notification", "Quiet Hours", "Quiet From", "Quiet To"}));
    EXPECT_FALSE(unchanged.OnlyNewMailCB) << "absent: off";

    TPropertyValues v;
    v.Mailboxes.resize(1);
    v.Mailboxes[0] = {0, "Work", " mail.example.com", "jo", "s3cret ", "5", smSTLS, siGoogle};
    v.ShowDialogCB = false;
    v.PlaySoundCB = true;
    v.WinSoundRB = false;
    v.WaveFileEB = "C:\\ding.wav";
    v.LaunchMailAppCB = true;
    v.MailAppEB = kExisting;
    v.MailAppCommandLineEB = "-check";
    v.RepeatCheckCB = false;
    v.RepeatEveryIntervalEB = "";
    v.UseDUNRB = true;
    v.OnlyNewMailCB = true;
    v.WindowsNotificationCB = true;
    v.QuietHoursCB = true;
    v.QuietFromEB = "9:30";
    v.QuietToEB = "noon";
    StoreProperties(*props, v);
    auto reloaded = Load();
    const TPropertyValues back = PropertyValuesFrom(*reloaded);
    ASSERT_EQ(back.Mailboxes.size(), 1u);
    const TMailboxValues& m = back.Mailboxes[0];
    EXPECT_EQ(m.NameEB + "|" + m.POPServerEB + "|" + m.LoginNameEB + "|" + m.PasswordEB + "|" +
                  m.IntervalEB,
              "Work| mail.example.com|jo|s3cret |5");
    EXPECT_EQ(m.SecureConnectionCombo, smSTLS);
    EXPECT_EQ(m.SignInCombo, siGoogle);
    EXPECT_FALSE(back.ShowDialogCB);
    EXPECT_TRUE(back.PlaySoundCB);
    EXPECT_FALSE(back.WinSoundRB);
    EXPECT_EQ(back.WaveFileEB, "C:\\ding.wav");
    EXPECT_TRUE(back.LaunchMailAppCB);
    EXPECT_EQ(back.MailAppEB, kExisting);
    EXPECT_EQ(back.MailAppCommandLineEB, "-check");
    EXPECT_FALSE(back.RepeatCheckCB);
    EXPECT_EQ(back.RepeatEveryIntervalEB, "10");
    EXPECT_TRUE(back.UseDUNRB);
    EXPECT_TRUE(back.OnlyNewMailCB);
    EXPECT_TRUE(back.WindowsNotificationCB);
    EXPECT_TRUE(back.QuietHoursCB);
    EXPECT_EQ(back.QuietFromEB, "09:30");
    EXPECT_EQ(back.QuietToEB, "07:00") << "text that is no time keeps what was stored";
}

TEST_F(StoreTest, ASetterErrorEndsTheSequence) {
    auto props = Load();
    Registry->writes.clear();
    Registry->refuseValue = "Password";
    TPropertyValues v = PropertyValuesFrom(*props);
    v.ShowDialogCB = false;
    EXPECT_THROW(StoreProperties(*props, v), ERegistryException);
    EXPECT_EQ(Registry->writes,
              (std::vector<std::string>{"Pop3 Server Address", "Login Username"}));
    EXPECT_TRUE(props->ShowMessageWindow());
}

// What OK makes of the dialog's list, each mailbox told by its server: the stored ones numbered
// without a gap, and a second OK (as after a failing setter) adds and removes nothing more.
TEST_F(StoreTest, OkAddsAndRemovesTheMailboxesOfTheList) {
    const struct {
        int stored;             // mailboxes stored before, "a", "b", ...
        std::vector<int> list;  // the dialog's list: a stored index, or -1 for one added
        const char* after;
    } cases[] = {
        {1, {0, -1}, "a new1 "}, {3, {0, 2, -1}, "a c new2 "}, {1, {-1}, "new0 "}, {3, {2}, "c "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        Registry = std::make_shared<MemoryRegistry>();
        auto props = Load();
        for (int i = 0; i < c.stored; ++i)
            (i ? props->AddMailbox() : props->Mailbox(0)).SetPop3ServerAddress({char('a' + i)});
        TPropertyValues v = PropertyValuesFrom(*props);
        std::vector<TMailboxValues> list;
        for (int stored : c.list) {
            list.push_back(stored >= 0 ? v.Mailboxes[stored] : TMailboxValues{});
            if (stored < 0) list.back().POPServerEB = "new" + std::to_string(list.size() - 1);
        }
        v.Mailboxes = list;
        StoreProperties(*props, v);
        StoreProperties(*props, v);
        std::string after;
        for (const TMailboxValues& m : PropertyValuesFrom(*Load()).Mailboxes)
            after += m.POPServerEB + " ";
        EXPECT_EQ(after, c.after);
    }
}
