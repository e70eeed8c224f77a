#pragma once
// The program's version, as the About box tells it; the program carries no version resource.

#include <string>

constexpr int BuildNumber = 104;

// "Version 1.0 (Build 104)".
std::string VersionText();
