#pragma once

#include <string>

// The user's time separator (LOCALE_STIME), ":" when the locale gives none.
std::string LocaleTimeSeparator();
