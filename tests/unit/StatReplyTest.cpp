// STAT reply parsing and the credential check of command lines.

#include "framework/Exception.h"
#include "mailbase/MailErrors.h"
#include "mailbase/Pop3/CommandLine.h"
#include "mailbase/Pop3/StatReply.h"

#include <gtest/gtest.h>

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

TEST(StatReply, TakesCountAndSizeAfterTheIndicator) {
    const TStatReply r = ParseStatReply("+OK 3 1200");
    EXPECT_EQ(r.MessageCount, 3);
    EXPECT_EQ(r.MailboxSize, 1200);
    // The indicator is skipped unread.
    EXPECT_EQ(ParseStatReply("+XY 0 0").MessageCount, 0);
    EXPECT_EQ(ParseStatReply("+OK 2147483647 -2147483648").MailboxSize, -2147483647 - 1);
}

TEST(StatReply, RefusesWhatIsNotAThirtyTwoBitInteger) {
    EXPECT_EQ(ConversionError("+OK 3 1200 octets"), "'1200 octets' is not a valid integer value");
    EXPECT_EQ(ConversionError("+OK 3"), "'' is not a valid integer value");
    EXPECT_EQ(ConversionError("+OK"), "'' is not a valid integer value");
    EXPECT_EQ(ConversionError("+OK x 1"), "'x' is not a valid integer value");
    EXPECT_EQ(ConversionError("+OK 2147483648 1"), "'2147483648' is not a valid integer value");
    EXPECT_EQ(ConversionError("+OK 1 4294967297"), "'4294967297' is not a valid integer value");
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
