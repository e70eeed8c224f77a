#include "framework/WideText.win.h"

#include <windows.h>

TWide Utf8ToWide(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length =
        size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    TWide wide(static_cast<std::size_t>(length) + 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string WideToUtf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr,
                                               nullptr);
    std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, utf8.data(), utf8Length, nullptr, nullptr);
    return utf8;
}
