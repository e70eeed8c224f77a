#pragma once
// The character sets of mail headers, turned into UTF-8: UTF-8 itself, US-ASCII, ISO-8859-1,
// -2 and -15, Windows-1250, -1251 and -1252, and KOI8-R.

#include <string>

// Converts bytes of the named set (any letter case, with or without an RFC 2231 language suffix)
// to UTF-8; false for a set it does not know. Broken UTF-8 and bytes a set leaves undefined
// become U+FFFD.
bool CharsetToUtf8(const std::string& charset, const std::string& bytes, std::string& utf8);

// Header text as it came: valid UTF-8 stays as it is, any other byte is taken as Windows-1252
// (what unlabelled 8-bit mail mostly is). Control characters become spaces, so nothing can break
// a line or a layout where the text is shown.
std::string HeaderTextToUtf8(const std::string& bytes);
