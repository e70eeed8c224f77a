// Telling new mail: the UIDL listing and the multi-line replies it comes in, and the file of
// the IDs already told about, whole or broken.

#include "app/SeenIdsFile.h"
#include "mailbase/MailErrors.h"
#include "mailbase/NewMail.h"
#include "mailbase/Pop3/MultiLineReply.h"

#include <gtest/gtest.h>

namespace {

// Feeds bytes until the reply ends; the bytes left over.
std::string Feed(TMultiLineReply& reply, const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (reply.Add(bytes[i])) return bytes.substr(i + 1);
    return "(no end)";
}

}  // namespace

TEST(NewMail, MultiLineRepliesEndAtTheDotLineAndLoseTheStuffedDot) {
    TMultiLineReply reply(100, 1000, 10000);
    EXPECT_EQ(Feed(reply, "1 a\r\n..2 b\r\n..\r\n\n.x\n.\r\n+OK next"), "+OK next");
    EXPECT_EQ(reply.Lines(), (std::vector<std::string>{"1 a", ".2 b", ".", "", "x"}));
    EXPECT_FALSE(reply.Truncated());
}

TEST(NewMail, MultiLineRepliesKeepWithinTheirLimitsAndRefuseWithoutEnd) {
    TMultiLineReply lines(2, 1000, 10000);
    EXPECT_EQ(Feed(lines, "a\nb\nc\n.\n"), "");
    EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(lines.Truncated());

    TMultiLineReply bytes(100, 5, 10000);
    Feed(bytes, "abc\ndef\ngh\n" + std::string(3000, 'x') + "\n.\n");
    EXPECT_EQ(bytes.Lines(), (std::vector<std::string>{"abc", "gh"}));

    TMultiLineReply longLine(100, 5000, 10000);
    Feed(longLine, std::string(1500, 'y') + ".\n.\n");
    EXPECT_EQ(longLine.Lines().at(0).size(), TMultiLineReply::kMaxLineLength);
    EXPECT_TRUE(longLine.Truncated());

    TMultiLineReply endless(100, 1000, 64);
    EXPECT_THROW(Feed(endless, std::string(65, '\n')), EMailError);
}

TEST(NewMail, UidlLinesAndTheMessagesNotSeen) {
    const std::vector<std::string> lines = {
        "1 whqtswO00WBw418f9t5JxYwZ",
        "2 QhdPYR:00WBw1Ph7x7",
        "3 " + std::string(70, 'z'),
        "4 " + std::string(71, 'z'),  // too long
        "5 two words",                // a space in the ID
        "6 ctl\x7f",                  // not printable
        "x7 letters",
        "08 leading-zero",
        "2 number-again",
        " 9 space-first",
        "0 zero",
        "10",
        "1234567890 too-large-a-number",
        "11 last",
    };
    const std::vector<TUidlEntry> entries = ParseUidlLines(lines);
    std::vector<std::string> read;
    for (const TUidlEntry& e : entries) read.push_back(std::to_string(e.Number) + " " + e.Id);
    EXPECT_EQ(read, (std::vector<std::string>{"1 whqtswO00WBw418f9t5JxYwZ", "2 QhdPYR:00WBw1Ph7x7",
                                              "3 " + std::string(70, 'z'), "8 leading-zero",
                                              "11 last"}));
    const TSeenIds seen = {"QhdPYR:00WBw1Ph7x7", "gone-meanwhile"};
    EXPECT_EQ(NewMessages(entries, seen), (std::vector<std::int32_t>{11, 8, 3, 1}));
}

TEST(NewMail, TheSeenFileIsReadWholeOrNotAtAll) {
    const std::string whole = FormatSeenIds({"a1", "bad id", "b2"});
    EXPECT_EQ(whole, "Larkspur seen message IDs 1\na1\nb2\nend 2\n");
    TSeenIds seen;
    EXPECT_TRUE(ParseSeenIds(whole, seen));
    EXPECT_EQ(seen, (TSeenIds{"a1", "b2"}));
    EXPECT_TRUE(ParseSeenIds(FormatSeenIds({}), seen));
    EXPECT_TRUE(seen.empty());

    const std::string broken[] = {
        "",
        whole.substr(0, whole.size() - 1),   // cut in the last line
        whole.substr(0, whole.find("b2")),   // cut before it
        "Larkspur seen message IDs 2\na1\nend 1\n",
        "Larkspur seen message IDs 1\na1\nb2\nend 3\n",
        "Larkspur seen message IDs 1\na 1\nend 1\n",
        "Larkspur seen message IDs 1\r\na1\r\nend 1\r\n",
        std::string("Larkspur seen message IDs 1\na1") + '\0' + "\nend 1\n",
    };
    for (const std::string& data : broken) {
        seen = {"stale"};
        EXPECT_FALSE(ParseSeenIds(data, seen)) << data;
        EXPECT_TRUE(seen.empty());
    }
    EXPECT_EQ(SeenFileName("pop.example.com", "ann"), SeenFileName("pop.example.com", "ann"));
    EXPECT_NE(SeenFileName("pop.example.com", "ann"), SeenFileName("pop.example.co", "mann"));
    EXPECT_EQ(SeenFileName("a:b\\c", "/?*").size(), 25u);
    // Files already on disk carry this form.
    EXPECT_EQ(SeenFileName("", ""), "seen-af63c74c8601c8dd.txt");
}
