// The hint of the tray icon and the lines of the last-result popup.

#include "tray/ResultText.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int hour, int minute, int second = 0) {
    return EncodeDateTime({2024, 3, 9, hour, minute, second, 0});
}

}  // namespace

TEST(ResultText, HintTellsTheTimeAndTheCount) {
    struct Case {
        int hour, minute, count;
        const char* separator;
        std::string hint, timeLine;
    };
    const Case cases[] = {
        {9, 5, 0, ":", "At 9:05 you had no mail messages", "At 9:05 you had"},
        {9, 5, 1, ":", "At 9:05 you had 1 mail message", "At 9:05 you had"},
        {14, 30, 250, ":", "At 14:30 you had 250 mail messages", "At 14:30 you had"},
        {0, 7, 12, ":", "At 0:07 you had 12 mail messages", "At 0:07 you had"},
        {23, 59, 2147483647, ":", "At 23:59 you had 2147483647 mail messages",
         "At 23:59 you had"},
        {8, 0, -1, ".", "At 8.00 you had -1 mail messages", "At 8.00 you had"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        EXPECT_EQ(TrayHintText(c.count, At(c.hour, c.minute), c.separator), c.hint);
        EXPECT_EQ(PopupText(c.count, At(c.hour, c.minute), c.separator).TimeLine, c.timeLine);
    }
    // The longest hint still fits the 63 characters that the tray shows.
    EXPECT_EQ(TrayHintText(2147483647, At(23, 59), ":").size(), 41u);
    EXPECT_EQ(TrayHintText(2147483647, At(23, 59), ":", cwAllNotNew).size(), 60u);
}

TEST(ResultText, NewMailAndMailThatCouldNotBeToldApart) {
    EXPECT_EQ(TrayHintText(2, At(9, 5), ":", cwNew), "At 9:05 you had 2 new mail messages");
    EXPECT_EQ(TrayHintText(0, At(9, 5), ":", cwNew), "At 9:05 you had no new mail messages");
    EXPECT_EQ(TrayHintText(3, At(9, 5), ":", cwAllNotNew),
              "At 9:05 you had 3 mail messages (new mail unknown)");
    EXPECT_EQ(PopupText(1, At(9, 5), ":", cwNew).CountLine, "1 new mail message");
    EXPECT_EQ(PopupText(3, At(9, 5), ":", cwAllNotNew).CountLine, "3 mail messages");
}

TEST(ResultText, SecondsNeverRoundTheMinuteUp) {
    EXPECT_EQ(TrayHintText(3, At(9, 5, 59), ":"), "At 9:05 you had 3 mail messages");
    EXPECT_EQ(TrayHintText(3, At(23, 59, 59) + 0.999 / 86400.0, ":"),
              "At 23:59 you had 3 mail messages");
}

TEST(ResultText, PopupLinesBeforeAndAfterTheFirstCheck) {
    const PopupLines none = PopupText(0, 0.0, ":");
    EXPECT_EQ(none.TimeLine, "Your mail has not");
    EXPECT_EQ(none.CountLine, "yet been checked");
    EXPECT_EQ(PopupText(1, At(14, 30), ":").CountLine, "1 mail message");
    EXPECT_EQ(PopupText(0, At(14, 30), ":").CountLine, "no mail messages");
    EXPECT_EQ(PopupText(3, At(14, 30), ":").CountLine, "3 mail messages");
    EXPECT_STREQ(kNotCheckedHint, "Your mail has not yet been checked");
}

TEST(ResultText, APausedHintKeepsItsMarkWithinTheTipsLength) {
    EXPECT_EQ(PausedTrayHint("At 9:05 you had 3 mail messages"),
              "At 9:05 you had 3 mail messages (paused)");
    EXPECT_EQ(PausedTrayHint(kNotCheckedHint), "Your mail has not yet been checked (paused)");
    const std::string longest = PausedTrayHint(std::string(70, 'x'));
    EXPECT_EQ(longest, std::string(54, 'x') + " (paused)");
    EXPECT_EQ(longest.size(), 63u);
}

TEST(ResultText, SeveralMailboxesNameThoseWithMailOrTellTheHintOfNoMail) {
    EXPECT_EQ(MailboxesHintText({{"Work", 3}, {"Home", 1}}, At(9, 5), ":", cwAll),
              "At 9:05: Work 3, Home 1");
    EXPECT_EQ(MailboxesHintText({{"ann@pop.example", 12}}, At(14, 30), ".", cwNew),
              "At 14.30: ann@pop.example 12");
    EXPECT_EQ(MailboxesHintText({}, At(9, 5), ":", cwNew), "At 9:05 you had no new mail messages");
    EXPECT_EQ(PausedTrayHint(std::string(130, 'x'), kLongTipLength).size(), 127u);
}
