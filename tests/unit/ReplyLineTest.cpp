// Reply line assembly, byte by byte, as the session receives it.

#include "mailbase/Pop3/ReplyLine.h"
#include "mailbase/MailErrors.h"

#include <gtest/gtest.h>

namespace {

// Feeds bytes until the line completes; returns how many were taken (0: never completed).
std::size_t Feed(TReplyLine& line, const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (line.Add(bytes[i])) return i + 1;
    return 0;
}

}  // namespace

TEST(ReplyLine, CompletesAtTheFirstLineEndAndStripsTrailingCrAndLf) {
    TReplyLine line;
    EXPECT_EQ(Feed(line, "+OK ready\r\nnext"), 11u);
    EXPECT_EQ(line.Reply(), "+OK ready");

    TReplyLine bareLf;
    EXPECT_EQ(Feed(bareLf, "+OK\n"), 4u);
    EXPECT_EQ(bareLf.Reply(), "+OK");

    TReplyLine crs;
    Feed(crs, "-ERR no\r\r\n");
    EXPECT_EQ(crs.Reply(), "-ERR no");
}

TEST(ReplyLine, NeverCompletesWhenShortOrCutByAZeroByteOrWithAnEarlierLineEnd) {
    TReplyLine shortLine;
    EXPECT_EQ(Feed(shortLine, "\r\n"), 0u);
    TReplyLine threeBytes;
    EXPECT_EQ(Feed(threeBytes, "+O\n"), 0u);
    // The early LF stays first, so the later one never ends the line.
    EXPECT_EQ(Feed(threeBytes, "+OK\r\n"), 0u);

    TReplyLine zero;
    EXPECT_EQ(Feed(zero, std::string("+OK\0 ready\r\n", 12)), 0u);
}

TEST(ReplyLine, AcceptsLinesUpToFiveHundredTwelveOctetsAndRefusesLonger) {
    TReplyLine longest;
    const std::string text = "+OK " + std::string(506, 'x');
    EXPECT_EQ(Feed(longest, text + "\r\n"), 512u);
    EXPECT_EQ(longest.Reply(), text);

    TReplyLine tooLong;
    try {
        Feed(tooLong, text + "x\r\n");
        FAIL() << "a 513-octet line was accepted";
    } catch (const EMailError& e) {
        EXPECT_EQ(e.Message, "The mail server sent a reply line that is too long.");
    }
}

TEST(ReplyLine, OnlyAPlusMakesAReplyPositive) {
    EXPECT_TRUE(IsPositiveReply("+OK"));
    EXPECT_TRUE(IsPositiveReply("+"));
    EXPECT_FALSE(IsPositiveReply("-ERR [AUTH] Authentication failed."));
    EXPECT_FALSE(IsPositiveReply(" +OK"));
    EXPECT_FALSE(IsPositiveReply(""));
}
