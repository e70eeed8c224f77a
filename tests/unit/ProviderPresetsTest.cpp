// The built-in servers of the large providers, one row per domain, and the addresses that find
// none.

#include "settings/ProviderPresets.h"

#include <gtest/gtest.h>

TEST(ProviderPresets, EachKnownDomainGivesItsServerOverTls) {
    const std::pair<const char*, const char*> rows[] = {
        {"jane@outlook.com", "outlook.office365.com"}, {"jane@hotmail.com", "outlook.office365.com"},
        {"jane@live.com", "outlook.office365.com"},    {"jane@msn.com", "outlook.office365.com"},
        {"jane@gmail.com", "pop.gmail.com"},           {"jane@googlemail.com", "pop.gmail.com"},
        {"jane@yahoo.com", "pop.mail.yahoo.com"},      {"jane@gmx.net", "pop.gmx.net"},
        {"jane@gmx.de", "pop.gmx.net"},                {"jane@gmx.com", "pop.gmx.com"},
        {"jane@web.de", "pop.web.de"},                 {"jane@fastmail.com", "pop.fastmail.com"},
    };
    for (const auto& [address, server] : rows) {
        const auto preset = PresetForAddress(address);
        ASSERT_TRUE(preset) << address;
        EXPECT_STREQ(preset->Server, server);
        EXPECT_EQ(preset->Security, smTLS) << address;
        // Only Microsoft insists on its account's sign-in.
        const bool microsoft = std::string(server) == "outlook.office365.com";
        EXPECT_EQ(preset->SignIn, microsoft ? std::optional<TSignIn>(siMicrosoft) : std::nullopt)
            << address;
    }
    EXPECT_STREQ(PresetForAddress("Jane.Doe@Mail@GMail.COM")->Server, "pop.gmail.com");
    for (const char* other : {"jane", "@gmail.com", "jane@gmail.com.evil.example",
                              "jane@example.com", "jane@", "gmail.com"})
        EXPECT_FALSE(PresetForAddress(other)) << other;
}
