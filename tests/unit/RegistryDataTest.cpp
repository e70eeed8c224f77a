// Registry value bytes: what is written and how whatever is found there is read.

#include "framework/RegistryData.h"

#include <gtest/gtest.h>

TEST(RegistryData, StringsAreWrittenWithTheirZeroAndReadWithOrWithoutIt) {
    EXPECT_EQ(EncodeRegistryString("pop.example"), std::string("pop.example\0", 12));
    EXPECT_EQ(EncodeRegistryString(""), std::string(1, '\0'));

    const std::pair<std::string, const char*> found[] = {
        {EncodeRegistryString("pop.example"), "pop.example"},
        {"pop.example", "pop.example"},
        {std::string("ann\0bob\0", 8), "ann"},
        {"", ""},
        {std::string(1, '\0'), ""},
    };
    for (const auto& [data, text] : found) {
        EXPECT_EQ(DecodeRegistryString(kRegSz, data), text);
        EXPECT_EQ(DecodeRegistryString(kRegExpandSz, data), text);
    }
    EXPECT_EQ(DecodeRegistryString(kRegDword, "abcd"), std::nullopt);
    EXPECT_EQ(DecodeRegistryString(3, "abc"), std::nullopt);
}

TEST(RegistryData, IntegersAreFourLittleEndianBytesOfTheirOwnType) {
    EXPECT_EQ(DecodeRegistryInteger(kRegDword, std::string("\x0a\0\0\0", 4)), 10);
    EXPECT_EQ(DecodeRegistryInteger(kRegDword, "\xfb\xff\xff\xff"), -5);
    EXPECT_EQ(DecodeRegistryInteger(kRegDword, std::string("\x01\0\0", 3)), std::nullopt);
    EXPECT_EQ(DecodeRegistryInteger(kRegDword, std::string("\x01\0\0\0\0", 5)), std::nullopt);
    EXPECT_EQ(DecodeRegistryInteger(kRegSz, std::string("\x01\0\0\0", 4)), std::nullopt);
}
