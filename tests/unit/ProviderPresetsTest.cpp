// Finding the built-in servers from an address. The servers themselves are data; the Mailbox
// page's fill-in shows two of them (PropertyFormTest).

#include "settings/ProviderPresets.h"

#include <gtest/gtest.h>

TEST(ProviderPresets, TheDomainAfterTheLastAtFindsItsPresetInAnyCase) {
    const std::pair<const char*, const char*> found[] = {
        {"jane@gmail.com", "gmail.com"},
        {"Jane.Doe@Mail@GMail.COM", "gmail.com"},
        {"jane@HOTMAIL.com", "hotmail.com"},
    };
    for (const auto& [address, domain] : found) {
        const auto preset = PresetForAddress(address);
        ASSERT_TRUE(preset) << address;
        EXPECT_STREQ(preset->Domain, domain);
    }
    for (const char* other : {"jane", "@gmail.com", "jane@gmail.com.evil.example",
                              "jane@example.com", "jane@", "gmail.com"})
        EXPECT_FALSE(PresetForAddress(other)) << other;
}
