#pragma once
// Text-to-number conversion with the program's own error message.

#include <cstdint>
#include <cstddef>
#include <string>

// Converts decimal text (optional sign, digits only) to a signed 32-bit integer. Text that is
// empty, has any other character, or lies outside the 32-bit range raises EConvertError
// "'<text>' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);

// The same for the signed 64-bit range.
std::int64_t StrToInt64(const std::string& text);

// The same text as a format helper: "'%s' is not a valid integer value" with text in place.
std::string NotAnIntegerMessage(const std::string& text);

// Value as exactly `digits` hexadecimal digits (higher digits dropped), by hand: the
// formatted-print family would bring a whole formatter into the shipped program.
std::string HexDigits(std::uint64_t value, std::size_t digits, bool lowerCase = false);
