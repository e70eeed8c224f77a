// The header parser fed any lines: sender and subject are clean UTF-8 within their limit.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/Utf8Check.h"
#include "mailbase/Header/MessageHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += static_cast<char>(data[i]);
        }
    }
    const TMessageSummary summary = ParseMessageHeader(lines);
    for (const std::string* text : {&summary.From, &summary.Subject})
        if (text->size() > kMaxSummaryText || !IsCleanUtf8(*text)) std::abort();
    return 0;
}
