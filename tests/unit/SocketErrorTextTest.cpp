// The socket error texts the user sees.

#include "mailbase/SocketErrorText.h"

#include <gtest/gtest.h>

TEST(SocketErrorText, NamesTheCodesUsersMeet) {
    EXPECT_EQ(SocketErrorText(0), "");
    EXPECT_EQ(SocketErrorText(10061), "Connection to mail server refused");
    EXPECT_EQ(SocketErrorText(10063), "Mail server name too long");
    EXPECT_EQ(SocketErrorText(10064), "The mail server is currently down");
    EXPECT_EQ(SocketErrorText(10065), "The mail server is unreachable");
    EXPECT_EQ(SocketErrorText(11001), "The mail server name is incorrect");
    EXPECT_EQ(SocketErrorText(11002), "DNS server busy, try again later");
    EXPECT_EQ(SocketErrorText(11004), "The mail server name is incorrect");
}

TEST(SocketErrorText, NumbersEveryOtherCode) {
    EXPECT_EQ(SocketErrorText(10060), "Error number 10060 occurred");
    EXPECT_EQ(SocketErrorText(11003), "Error number 11003 occurred");
    EXPECT_EQ(SocketErrorText(65535), "Error number 65535 occurred");
}
