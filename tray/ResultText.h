#pragma once
// The texts that tell the result of the last check: the tray icon's hint and the two lines of
// the last-result popup. The time is written h:mm on the 24-hour clock, with the locale's time
// separator between hour and minutes.

#include <cstdint>
#include <string>

#include "framework/DateTime.h"

extern const char kNotCheckedHint[];  // "Your mail has not yet been checked"

// What the count is: every message (the default), the new ones, or every message because the
// server could not tell which are new.
enum TCountWording { cwAll, cwNew, cwAllNotNew };

// "At 9:05 you had 3 mail messages", "At 9:05 you had 2 new mail messages", or for cwAllNotNew
// "At 9:05 you had 3 mail messages (new mail unknown)".
std::string TrayHintText(std::int32_t count, TDateTime time, const std::string& timeSeparator,
                         TCountWording wording = cwAll);

// The hint while notifications are paused: the hint and " (paused)", the hint shortened when
// both would not fit the 63 characters that the tray shows.
std::string PausedTrayHint(const std::string& hint);

struct PopupLines {
    std::string TimeLine;   // "At 14:30 you had", or "Your mail has not" before any check
    std::string CountLine;  // "1 mail message", or "yet been checked"
};
// A check time of 0 means that no check has been made.
PopupLines PopupText(std::int32_t count, TDateTime time, const std::string& timeSeparator,
                     TCountWording wording = cwAll);
