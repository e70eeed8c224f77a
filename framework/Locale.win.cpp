#include "framework/Locale.win.h"

#include <windows.h>

std::string LocaleTimeSeparator() {
    char separator[8] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator) ||
        !separator[0])
        return ":";
    return separator;
}
