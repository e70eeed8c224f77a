// The encoded-word decoder fed any header text: it must always give clean UTF-8, and text
// without "=?" must come out as HeaderTextToUtf8 gives it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/Utf8Check.h"
#include "mailbase/Header/Charsets.h"
#include "mailbase/Header/EncodedWords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = DecodeEncodedWords(text);
    if (!IsCleanUtf8(decoded)) std::abort();
    if (text.find("=?") == std::string::npos && decoded != HeaderTextToUtf8(text)) std::abort();
    return 0;
}
