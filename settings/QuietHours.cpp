#include "settings/QuietHours.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ParseClockTime(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon != 1 && colon != 2) return -1;
    if (text.size() != colon + 3) return -1;
    int hour = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsDigit(text[i])) return -1;
        hour = hour * 10 + (text[i] - '0');
    }
    if (!IsDigit(text[colon + 1]) || !IsDigit(text[colon + 2])) return -1;
    const int minute = (text[colon + 1] - '0') * 10 + (text[colon + 2] - '0');
    if (hour > 23 || minute > 59) return -1;
    return hour * 60 + minute;
}

std::string FormatClockTime(int minutes) {
    const int hour = minutes / 60, minute = minutes % 60;
    return std::string{static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10), ':',
                       static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10)};
}

bool InQuietHours(int from, int to, int minuteOfDay) {
    if (from == to) return false;
    if (from < to) return minuteOfDay >= from && minuteOfDay < to;
    return minuteOfDay >= from || minuteOfDay < to;
}

bool QuietHoursNow(bool enabled, const std::string& from, const std::string& to, int hour,
                   int minute) {
    if (!enabled) return false;
    const int start = ParseClockTime(from), end = ParseClockTime(to);
    if (start < 0 || end < 0) return false;
    return InQuietHours(start, end, hour * 60 + minute);
}
