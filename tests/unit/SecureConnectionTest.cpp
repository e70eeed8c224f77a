// The portable parts of secure connections: the server address with its port, the stored mode
// and the texts the user sees when the channel or the certificate fails.

#include "mailbase/MailErrors.h"
#include "mailbase/SecureErrorText.h"
#include "mailbase/SecurityMode.h"
#include "mailbase/ServerAddress.h"

#include <gtest/gtest.h>

TEST(ServerAddress, APortAfterTheLastColonReplacesTheServices) {
    const std::pair<std::string, std::pair<std::string, int>> valid[] = {
        {"pop.example.com", {"pop.example.com", 0}},
        {"pop.example.com:995", {"pop.example.com", 995}},
        {"10.0.0.1:1", {"10.0.0.1", 1}},
        {"localhost:65535", {"localhost", 65535}},
        {"localhost:00110", {"localhost", 110}},
    };
    for (const auto& [text, expected] : valid) {
        const TServerAddress address = ParseServerAddress(text);
        EXPECT_EQ(address.Host, expected.first) << text;
        EXPECT_EQ(address.Port, expected.second) << text;
    }
    for (const char* text :
         {"localhost:", ":110", "localhost:0", "localhost:65536", "localhost:99999999999999999999",
          "localhost:11O", "localhost: 110", "localhost:-1"}) {
        EXPECT_THROW(ParseServerAddress(text), EMailError) << text;
    }
}

TEST(SecurityMode, OnlyTheStoredValuesOfAModeNameIt) {
    EXPECT_EQ(SecurityModeOf(0), smNone);
    EXPECT_EQ(SecurityModeOf(1), smSTLS);
    EXPECT_EQ(SecurityModeOf(2), smTLS);
    for (std::int32_t other : {3, -1, 256, INT32_MIN}) EXPECT_EQ(SecurityModeOf(other), smNone);
}

TEST(SecureErrorText, SaysWhatIsWrongWithTheCertificate) {
    const std::string untrusted = "The mail server's certificate is not trusted.";
    const std::pair<std::uint32_t, std::string> texts[] = {
        {0x800B0109, untrusted},
        {0x800B010A, untrusted},
        {0x80096004, untrusted},
        {0x80096019, untrusted},
        {0x800B0101, "The mail server's certificate has expired or is not yet valid."},
        {0x800B010F, "The mail server's certificate is for another name."},
        {0x800B0110, "The mail server's certificate is not meant for a server."},
        {0x80092010, "The mail server's certificate has been revoked."},
        {0x80092004, "The mail server's certificate could not be verified (error 0x80092004)."},
    };
    for (const auto& [code, text] : texts) EXPECT_EQ(CertificateErrorText(code), text);
}

TEST(SecureErrorText, TheChainsOwnStatusCountsMostSeriousFirst) {
    const std::pair<std::uint32_t, std::uint32_t> faults[] = {
        {0x00000000, 0},          {0x00010000, 0x800B010A},  // partial chain: no trusted root
                                                             // reached
        {0x00010001, 0x800B010A},  // ... and expired: the trust comes first
        {0x00000021, 0x800B0109}, {0x00000001, 0x800B0101}, {0x00000011, 0x800B0101},
        {0x00000010, 0x800B0110}, {0x00000040, 0},  // revocation unknown: not asked for
        {0x01000000, 0},                            // revocation offline
        {0x00000002, 0},  // validity not nested: ignored by the policy too
    };
    for (const auto& [status, error] : faults)
        EXPECT_EQ(CertificateChainError(status), error) << std::hex << status;
}

TEST(SecureErrorText, NamesTheProvidersCodeForOtherFailures) {
    EXPECT_EQ(SecureChannelErrorText(0x80090326),
              "The secure connection to the mail server failed (error 0x80090326).");
    EXPECT_EQ(SecureChannelErrorText(0x80090331),
              "The mail server and this computer have no security protocol in common.");
}
