#pragma once
// UTF-8 and the platform's UTF-16, for text that must arrive whole in any script: names from
// mail headers, paths under the user's profile.

#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
