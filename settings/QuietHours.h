#pragma once
// Quiet hours: a span of the local day, given by two clock times "HH:MM", during which a check
// that nobody asked for tells its outcome in the tray only.

#include <string>

// Minutes after midnight of a clock time written "HH:MM" or "H:MM" (00:00 to 23:59); -1 for any
// other text, whatever it holds.
int ParseClockTime(const std::string& text);
// "HH:MM" for minutes after midnight (0 to 1439).
std::string FormatClockTime(int minutes);

// Quiet from the first minute up to, not including, the last; a span whose end comes before its
// start passes midnight; equal times mean no quiet hours at all.
bool InQuietHours(int from, int to, int minuteOfDay);

// The stored setting at a local time of day: switched off, or either time unreadable, is never
// quiet.
bool QuietHoursNow(bool enabled, const std::string& from, const std::string& to, int hour,
                   int minute);
