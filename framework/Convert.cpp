#include "framework/Convert.h"

#include <limits>

#include "framework/Exception.h"

std::string NotAnIntegerMessage(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

std::int32_t StrToInt(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) throw EConvertError(NotAnIntegerMessage(text));

    // Accumulated as a magnitude in 64 bits so that values past the 32-bit range are refused
    // instead of wrapping around.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') throw EConvertError(NotAnIntegerMessage(text));
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) throw EConvertError(NotAnIntegerMessage(text));
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}
