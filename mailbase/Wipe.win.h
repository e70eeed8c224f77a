#pragma once
// Overwrites the characters of a string that held a secret once it is no longer needed: an
// ordinary store to memory that is freed next may be left out by the compiler.

#include <windows.h>

#include <string>

inline void Wipe(std::string& text) {
    if (!text.empty()) SecureZeroMemory(&text[0], text.size());
}
