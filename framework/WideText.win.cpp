#include "framework/WideText.win.h"

#include <windows.h>

#include <cwchar>

namespace {

TWide ToWide(UINT codePage, const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length =
        size == 0 ? 0 : MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    TWide wide(static_cast<std::size_t>(length) + 1, L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int narrowLength =
        WideCharToMultiByte(codePage, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(narrowLength), '\0');
    WideCharToMultiByte(codePage, 0, text, size, narrow.data(), narrowLength, nullptr, nullptr);
    return narrow;
}

}  // namespace

TWide Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }

std::string WideToUtf8(const wchar_t* text, std::size_t length) {
    return FromWide(CP_UTF8, text, length);
}

TWide AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text); }

std::string WideToAnsi(const wchar_t* text) {
    return text ? FromWide(CP_ACP, text, std::wcslen(text)) : std::string();
}
