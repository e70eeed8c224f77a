#pragma once
// UTF-8 and the platform's UTF-16, for text that must arrive whole in any script: names from
// mail headers, paths under the user's profile. The ANSI code page, for the program's own texts
// where only a wide entry point exists (credentials, certificate names).

#include <cstddef>
#include <string>
#include <vector>

// Wide text in a vector, always ending in its zero: the program carries no wide string class,
// whose library code would be most of a tenth of the program.
using TWide = std::vector<wchar_t>;

// The text's own length, without the zero.
inline std::size_t WideLength(const TWide& text) { return text.size() - 1; }

TWide Utf8ToWide(const std::string& text);
std::string WideToUtf8(const wchar_t* text, std::size_t length);
TWide AnsiToWide(const std::string& text);
// Up to the zero; empty for none.
std::string WideToAnsi(const wchar_t* text);
