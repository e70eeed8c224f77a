#pragma once
// The texts that tell the result of the last check: the tray icon's hint and the two lines of
// the last-result popup. The time is written h:mm on the 24-hour clock, with the locale's time
// separator between hour and minutes.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/DateTime.h"

extern const char kNotCheckedHint[];  // "Your mail has not yet been checked"

// What the count is: every message (the default), the new ones, or every message because the
// server could not tell which are new.
enum TCountWording { cwAll, cwNew, cwAllNotNew };

// "At 9:05 you had 3 mail messages", "At 9:05 you had 2 new mail messages", or for cwAllNotNew
// "At 9:05 you had 3 mail messages (new mail unknown)".
std::string TrayHintText(std::int32_t count, TDateTime time, const std::string& timeSeparator,
                         TCountWording wording = cwAll);

struct TMailboxCount {
    std::string Title;
    std::int32_t Count;
};
// With several mailboxes: "At 9:05: Work 3, Home 1" for those with mail, or TrayHintText's hint
// of no mail when none has any.
std::string MailboxesHintText(const std::vector<TMailboxCount>& withMail, TDateTime time,
                              const std::string& timeSeparator, TCountWording wording);

// The characters of a tip in the described record of the tray, and in the newer one.
constexpr std::size_t kTipLength = 63;
constexpr std::size_t kLongTipLength = 127;

// The hint while notifications are paused: the hint and " (paused)", the hint shortened when
// both would not fit the tip's length.
std::string PausedTrayHint(const std::string& hint, std::size_t length = kTipLength);

struct PopupLines {
    std::string TimeLine;   // "At 14:30 you had", or "Your mail has not" before any check
    std::string CountLine;  // "1 mail message", or "yet been checked"
};
// A check time of 0 means that no check has been made.
PopupLines PopupText(std::int32_t count, TDateTime time, const std::string& timeSeparator,
                     TCountWording wording = cwAll);
