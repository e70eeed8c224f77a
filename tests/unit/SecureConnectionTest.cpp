// The portable parts of secure connections: the server address with its port, the stored mode
// and the texts the user sees when the channel or the certificate fails.

#include "mailbase/MailErrors.h"
#include "mailbase/SecureErrorText.h"
#include "mailbase/SecurityMode.h"
#include "mailbase/ServerAddress.h"
#include "mailbase/TlsProtocol.h"

#include <gtest/gtest.h>

TEST(ServerAddress, APortAfterTheLastColonOrTheBracketsReplacesTheServices) {
    const std::pair<std::string, std::pair<std::string, int>> valid[] = {
        {"pop.example.com", {"pop.example.com", 0}},
        {"pop.example.com:995", {"pop.example.com", 995}},
        {"10.0.0.1:1", {"10.0.0.1", 1}},
        {"localhost:65535", {"localhost", 65535}},
        {"localhost:00110", {"localhost", 110}},
        {"::1", {"::1", 0}},
        {"fe80::1:995", {"fe80::1:995", 0}},  // every colon belongs to the address
        {"[::1]", {"::1", 0}},
        {"[::1]:995", {"::1", 995}},
        {"[pop.example.com]:110", {"pop.example.com", 110}},
    };
    for (const auto& [text, expected] : valid) {
        const TServerAddress address = ParseServerAddress(text);
        EXPECT_EQ(address.Host, expected.first) << text;
        EXPECT_EQ(address.Port, expected.second) << text;
    }
    for (const char* text :
         {"localhost:", ":110", "localhost:0", "localhost:65536", "localhost:99999999999999999999",
          "localhost:11O", "localhost: 110", "localhost:-1", "[::1", "[]:110", "[::1]:",
          "[::1]995", "[::1]:0", "[::1]:65536"}) {
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

namespace {

// Bytes from their hexadecimal text, blanks between them.
std::string Hex(const char* text) {
    std::string bytes;
    for (const char* p = text; *p; p += p[2] ? 3 : 2)
        bytes += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
    return bytes;
}

}  // namespace

TEST(TlsProtocol, TheServersFirstAnswerTellsAnOutdatedVersion) {
    const std::pair<const char*, bool> answers[] = {
        {"16 03 01 00 31 02 00 00 2d 03 01", true},  // ServerHello choosing TLS 1.0
        {"16 03 02 00 31 02 00 00 2d 03 02", true},  // TLS 1.1
        {"16 03 00 00 31 02 00 00 2d 03 00", true},  // SSL 3
        {"16 03 03 00 5a 02 00 00 56 03 03", false},  // TLS 1.2, and TLS 1.3 alike
        {"16 03 01 00 5a 02 00 00 56 03 03", false},  // an old record version says nothing
        {"15 03 01 00 02 02 46", false},  // protocol_version alert: maybe the server is newer
        {"16 03 01 00 31 02 00 00 2d 03", false},  // the version has not arrived yet
        {"16 03 01 00 31 0b 00 00 2d 03 01", false},  // not a ServerHello
        {"2b 4f 4b 20 72 65 61 64 79 0d 0a", false},  // "+OK ready"
    };
    for (const auto& [bytes, outdated] : answers)
        EXPECT_EQ(AnswersWithOutdatedTls(Hex(bytes)), outdated) << bytes;

    // The negotiated protocol as the provider names it.
    const std::pair<std::uint32_t, bool> protocols[] = {
        {0x80, true}, {0x200, true}, {0x20, true},   {0x8, true},
        {0x0, true},  {0x800, false}, {0x2000, false}, {0x2800, false},
    };
    for (const auto& [protocol, outdated] : protocols)
        EXPECT_EQ(IsOutdatedProtocol(protocol), outdated) << std::hex << protocol;
}
