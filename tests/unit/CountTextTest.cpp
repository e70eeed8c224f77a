// The wording of a message count.

#include "tray/CountText.h"

#include <gtest/gtest.h>

TEST(CountText, SentenceOfTheMailWindow) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "You have no mail messages."},  {1, "You have 1 mail message."},
        {2, "You have 2 mail messages."},   {57, "You have 57 mail messages."},
        {-1, "You have -1 mail messages."},
    };
    for (const auto& [count, text] : cases) EXPECT_EQ(CountWindowText(count), text);
}
