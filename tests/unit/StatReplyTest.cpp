// STAT reply parsing and the credential check of command lines.

#include "framework/Exception.h"
#include "mailbase/MailErrors.h"
#include "mailbase/Pop3/CommandLine.h"
#include "mailbase/Pop3/StatReply.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::string ConversionError(const std::string& reply) {
    try {
        ParseStatReply(reply);
    } catch (const EConvertError& e) {
        return e.Message;
    }
    return "no error";
}

}  // namespace

TEST(StatReply, TakesTheCountAndTheSizeAndIgnoresWhatFollows) {
    struct Case {
        const char* reply;
        std::int32_t count;
        std::int64_t size;
    };
    const Case cases[] = {
        {"+OK 3 1200", 3, 1200},
        {"+XY 0 0", 0, 0},  // the indicator is skipped unread
        {"+OK 3 1200 messages", 3, 1200},
        {"+OK 3 1200  two blanks", 3, 1200},
        {"+OK 2147483647 5000000000", 2147483647, 5000000000},
        {"+OK 1 9223372036854775807", 1, INT64_MAX},
        {"+OK 1 -1", 1, -1},  // nothing reads the size; a number is all it must be
    };
    for (const Case& c : cases) {
        const TStatReply r = ParseStatReply(c.reply);
        EXPECT_EQ(r.MessageCount, c.count) << c.reply;
        EXPECT_EQ(r.MailboxSize, c.size) << c.reply;
    }
}

TEST(StatReply, RefusesACountOrSizeThatIsNotSuchANumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"+OK 3", "''"},
        {"+OK", "''"},
        {"+OK 3 ", "''"},
        {"+OK 3  1200", "''"},
        {"+OK x 1", "'x'"},
        {"+OK 3 many", "'many'"},
        {"+OK 3 12a", "'12a'"},
        {"+OK -1 0", "'-1'"},
        {"+OK 2147483648 1", "'2147483648'"},
        {"+OK 1 9223372036854775808", "'9223372036854775808'"},
    };
    for (const auto& [reply, text] : cases)
        EXPECT_EQ(ConversionError(reply), std::string(text) + " is not a valid integer value")
            << reply;
}

TEST(CredentialCommand, RefusesLineBreaksAndZeroCharacters) {
    EXPECT_EQ(CredentialCommand("USER ", "ann"), "USER ann");
    EXPECT_EQ(CredentialCommand("USER ", ""), "USER ");
    EXPECT_EQ(CredentialCommand("PASS ", " spaced pass "), "PASS  spaced pass ");
    for (const std::string& bad : {std::string("a\rb"), std::string("a\nDELE 1"),
                                   std::string("a\0b", 3), std::string("\r\n")}) {
        try {
            CredentialCommand("PASS ", bad);
            ADD_FAILURE() << "accepted an argument with a line break or zero";
        } catch (const EMailError& e) {
            EXPECT_EQ(e.Message,
                      "The user name or password contains a line break or a zero character.");
        }
    }
}
