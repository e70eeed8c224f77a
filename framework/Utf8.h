#pragma once
// UTF-8 as the program keeps every text that comes from other people.

#include <string>

// Appends the code point, which the caller has checked (at most U+10FFFF, no surrogate).
void AppendUtf8(std::string& out, char32_t c);
