// The SASL responses against the published examples, the AUTH line they travel on, and the
// capability list that decides whether they are sent at all.

#include "mailbase/Pop3/Sasl.h"

#include <gtest/gtest.h>

#include "mailbase/MailErrors.h"

TEST(Sasl, ResponsesAreTheByteSequencesOfThePublishedExamples) {
    struct Case {
        TPop3Auth auth;
        std::string user, secret, host;
        std::uint16_t port;
        std::string encoded;
    };
    const Case cases[] = {
        // The PLAIN example without an authorization identity.
        {paPlain, "tim", "tanstaaftanstaaf", "", 0, "AHRpbQB0YW5zdGFhZnRhbnN0YWFm"},
        // Google's XOAUTH2 example.
        {paXOAuth2, "someuser@example.com", "ya29.vF9dft4qmTc2Nvb3RlckBhdHRhdmlzdGEuY29tCg", "", 0,
         "dXNlcj1zb21ldXNlckBleGFtcGxlLmNvbQFhdXRoPUJlYXJlciB5YTI5LnZGOWRmdDRxbVRjMk52YjNSbGNrQmhk"
         "SFJoZG1semRHRXVZMjl0Q2cBAQ=="},
        // The OAUTHBEARER example, with the host and port the client connected to.
        {paOAuthBearer, "user@example.com", "vF9dft4qmTc2Nvb3RlckBhbHRhdmlzdGEuY29tCg==",
         "server.example.com", 143,
         "bixhPXVzZXJAZXhhbXBsZS5jb20sAWhvc3Q9c2VydmVyLmV4YW1wbGUuY29tAXBvcnQ9MTQzAWF1dGg9QmVhcmVy"
         "IHZGOWRmdDRxbVRjMk52YjNSbGNrQmhiSFJoZG1semRHRXVZMjl0Q2c9PQEB"},
        // A comma or equals sign in the authorization identity is escaped.
        {paOAuthBearer, "a,b=c", "t", "h", 1, "bixhPWE9MkNiPTNEYywBaG9zdD1oAXBvcnQ9MQFhdXRoPUJlYXJlciB0AQE="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Base64Encode(SaslResponse(c.auth, c.user, c.secret, c.host, c.port)), c.encoded)
            << SaslMechanismName(c.auth) << " " << c.user;
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(SaslAbortResponse(paOAuthBearer), "AQ==");
}

TEST(Sasl, CredentialsThatWouldBreakTheFramingAreRefusedBeforeAnythingIsSent) {
    EXPECT_THROW(SaslResponse(paPlain, std::string("a\0b", 3), "p", "", 0), EMailError);
    EXPECT_THROW(SaslResponse(paPlain, "a", std::string("p\0", 2), "", 0), EMailError);
    EXPECT_THROW(SaslResponse(paXOAuth2, "a", "t\x01", "", 0), EMailError);
    EXPECT_THROW(SaslResponse(paOAuthBearer, "a\x01", "t", "h", 1), EMailError);
}

TEST(Sasl, PlainTravelsOnTheAuthLineWhenItFitsAndTokensAlwaysWaitForThePrompt) {
    // "AUTH PLAIN ", the response and CR LF: 255 octets with 242 characters, 257 with 244.
    const std::string fits(244, 'A');
    EXPECT_EQ(AuthCommand(paPlain, "dGVzdAB0ZXN0AHRlc3Q="), "AUTH PLAIN dGVzdAB0ZXN0AHRlc3Q=");
    EXPECT_EQ(AuthCommand(paPlain, fits.substr(2)), "AUTH PLAIN " + fits.substr(2));
    EXPECT_EQ(AuthCommand(paPlain, fits), "AUTH PLAIN");
    EXPECT_EQ(AuthCommand(paOAuthBearer, "dA=="), "AUTH OAUTHBEARER");
    EXPECT_FALSE(IsContinuation("+OK"));
}

TEST(Sasl, OnlyTheSaslLineOfTheCapabilitiesCounts) {
    const std::vector<std::string> capa = {"TOP", "USER", "sasl  plain\tXOAUTH2", "PLAIN-ISH",
                                           "IMPLEMENTATION OAUTHBEARER"};
    EXPECT_TRUE(CapaListsMechanism(capa, "PLAIN"));
    EXPECT_TRUE(CapaListsMechanism(capa, "XOAUTH2"));
    EXPECT_FALSE(CapaListsMechanism(capa, "OAUTHBEARER"));
    EXPECT_FALSE(CapaListsMechanism({"SASL"}, "PLAIN"));
    EXPECT_FALSE(CapaListsMechanism({}, "PLAIN"));
}
