#include "framework/Convert.h"
#include "framework/DateTime.h"
#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

template <class Convert = decltype(&StrToInt)>
std::string ConversionError(const std::string& text, Convert convert = &StrToInt) {
    try {
        convert(text);
    } catch (const EConvertError& e) {
        return e.Message;
    }
    return "no error";
}

}  // namespace

TEST(StrToInt, ConvertsDecimalTextWithinThe32BitRange) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("1200"), 1200);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrToInt, RefusesOtherTextAndOutOfRangeNumbersWithTheTextInTheMessage) {
    EXPECT_EQ(ConversionError(""), "'' is not a valid integer value");
    EXPECT_EQ(ConversionError("-"), "'-' is not a valid integer value");
    EXPECT_EQ(ConversionError("1200 octets"), "'1200 octets' is not a valid integer value");
    EXPECT_EQ(ConversionError("12a"), "'12a' is not a valid integer value");
    EXPECT_EQ(ConversionError("2147483648"), "'2147483648' is not a valid integer value");
    EXPECT_EQ(ConversionError("-2147483649"), "'-2147483649' is not a valid integer value");
    EXPECT_EQ(ConversionError("99999999999999999999999"),
              "'99999999999999999999999' is not a valid integer value");
}

TEST(StrToInt64, CoversTheWholeSixtyFourBitRangeAndNoMore) {
    EXPECT_EQ(StrToInt64("5000000000"), 5000000000);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("-0"), 0);
    EXPECT_EQ(ConversionError("9223372036854775808", &StrToInt64),
              "'9223372036854775808' is not a valid integer value");
    EXPECT_EQ(ConversionError("-9223372036854775809", &StrToInt64),
              "'-9223372036854775809' is not a valid integer value");
    EXPECT_EQ(ConversionError("18446744073709551616", &StrToInt64),
              "'18446744073709551616' is not a valid integer value");
    EXPECT_EQ(ConversionError("1 2", &StrToInt64), "'1 2' is not a valid integer value");
}

TEST(HexDigits, KeepsLeadingZerosAndDropsHigherDigits) {
    EXPECT_EQ(HexDigits(0x1A, 4), "001A");
    EXPECT_EQ(HexDigits(0xBEEF, 4, true), "beef");
    EXPECT_EQ(HexDigits(0x12345, 4), "2345");
    EXPECT_EQ(HexDigits(UINT64_MAX, 16), "FFFFFFFFFFFFFFFF");
}

TEST(DateTime, CountsDaysFromTheLastDaysOf1899) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 3, 1, 0, 0, 0, 0}), 61.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 2, 29, 18, 0, 0, 0}), 36585.75);
    EXPECT_NEAR(EncodeDateTime({2026, 12, 7, 9, 5, 0, 0}), 46363.0 + (9 * 60 + 5) / 1440.0, 1e-9);
}
