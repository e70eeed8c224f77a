#include "framework/Convert.h"

#include <limits>

#include "framework/Exception.h"

std::string NotAnIntegerMessage(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

namespace {

// Accumulates the magnitude in an unsigned type one step wider than the range it checks, so
// that values past the range are refused instead of wrapping around.
template <class Int>
Int Convert(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) throw EConvertError(NotAnIntegerMessage(text));

    using Magnitude = std::uint64_t;
    const Magnitude limit =
        static_cast<Magnitude>(std::numeric_limits<Int>::max()) + (negative ? 1 : 0);
    Magnitude magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') throw EConvertError(NotAnIntegerMessage(text));
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (limit - digit) / 10) throw EConvertError(NotAnIntegerMessage(text));
        magnitude = magnitude * 10 + digit;
    }
    if (!negative) return static_cast<Int>(magnitude);
    // -limit fits in Int; it is built from -(limit - 1) - 1 to stay inside the range.
    return magnitude == 0 ? 0 : static_cast<Int>(-static_cast<Int>(magnitude - 1) - 1);
}

}  // namespace

std::int32_t StrToInt(const std::string& text) {
    return Convert<std::int32_t>(text);
}

std::int64_t StrToInt64(const std::string& text) {
    return Convert<std::int64_t>(text);
}

std::string HexDigits(std::uint64_t value, std::size_t digits, bool lowerCase) {
    const char* const alphabet = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string hex(digits, '0');
    for (std::size_t i = digits; i != 0; value >>= 4) hex[--i] = alphabet[value & 15];
    return hex;
}
