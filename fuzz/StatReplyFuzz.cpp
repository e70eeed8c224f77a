// STAT reply parsing and the conversions under it, checked against a reference that takes the
// same decimal text with the C library.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/Convert.h"
#include "framework/Exception.h"
#include "mailbase/Pop3/StatReply.h"

namespace {

// What the conversions must accept: an optional sign, then digits only, within the range.
bool Reference(const std::string& text, long long low, long long high, long long& value) {
    std::size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    if (i == text.size()) return false;
    for (std::size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9') return false;
    errno = 0;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value >= low && value <= high;
}

template <class Convert>
void Compare(const std::string& text, long long low, long long high, Convert convert) {
    long long expected = 0;
    const bool valid = Reference(text, low, high, expected);
    try {
        const long long converted = convert(text);
        if (!valid || converted != expected) std::abort();
    } catch (const EConvertError& e) {
        if (valid || e.Message != NotAnIntegerMessage(text)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Compare(text, INT32_MIN, INT32_MAX, StrToInt);
    Compare(text, INT64_MIN, INT64_MAX, StrToInt64);
    try {
        const TStatReply stat = ParseStatReply("+OK " + text);
        if (stat.MessageCount < 0) std::abort();
    } catch (const EConvertError&) {
    }
    return 0;
}
