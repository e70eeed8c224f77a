#pragma once
// What every decoded header text must be: well-formed UTF-8 without control characters.

#include <cstddef>
#include <string>

inline bool IsCleanUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x20 || lead == 0x7F) return false;
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4)) return false;
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        // C1 controls, U+0080 to U+009F.
        if (lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;
        i += length;
    }
    return true;
}
