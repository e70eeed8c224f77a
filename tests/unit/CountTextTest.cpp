// The wording of a message count.

#include "tray/CountText.h"

#include <gtest/gtest.h>

TEST(CountText, SentenceOfTheMailWindow) {
    const std::tuple<std::int32_t, bool, const char*> cases[] = {
        {0, false, "You have no mail messages."},  {1, false, "You have 1 mail message."},
        {2, false, "You have 2 mail messages."},   {57, false, "You have 57 mail messages."},
        {-1, false, "You have -1 mail messages."}, {0, true, "You have no new mail messages."},
        {1, true, "You have 1 new mail message."}, {2, true, "You have 2 new mail messages."},
    };
    for (const auto& [count, onlyNew, text] : cases) EXPECT_EQ(CountWindowText(count, onlyNew), text);
}

TEST(CountText, ListLineOfANewMessage) {
    EXPECT_EQ(SenderSubjectLine("Alice Example", "Lunch?"), "Alice Example \xE2\x80\x94 Lunch?");
    EXPECT_EQ(SenderSubjectLine("Alice Example", ""), "Alice Example");
    EXPECT_EQ(SenderSubjectLine("", "Lunch?"), "Lunch?");
    EXPECT_EQ(SenderSubjectLine("&Bob", "100%s"), "&Bob \xE2\x80\x94 100%s") << "text, not a format";
}
