#pragma once
// RFC 2047 encoded words ("=?charset?B?...?=", "=?charset?Q?...?=") in header text.

#include <string>

// The text as UTF-8 with each well-formed encoded word of a known charset decoded; whitespace
// between two adjacent encoded words is dropped. Anything else (unknown charsets, broken base64
// or hex, words without their end) stays as it stands, taken by HeaderTextToUtf8.
std::string DecodeEncodedWords(const std::string& text);
