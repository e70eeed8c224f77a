#include "tray/ResultText.h"

#include "tray/CountText.h"

const char kNotCheckedHint[] = "Your mail has not yet been checked";

namespace {

// "At " h:mm, the time in the pattern's own form (hour without a leading zero).
std::string AtTime(TDateTime time, const std::string& separator) {
    const TimeOfDay t = DecodeTime(time);
    const std::string minutes = (t.Minute < 10 ? "0" : "") + std::to_string(t.Minute);
    return "At " + std::to_string(t.Hour) + separator + minutes;
}

std::string TimeLine(TDateTime time, const std::string& separator) {
    return AtTime(time, separator) + " you had";
}

}  // namespace

std::string TrayHintText(std::int32_t count, TDateTime time, const std::string& timeSeparator,
                         TCountWording wording) {
    // The note keeps the longest hint within the 63 characters that the tray shows.
    const char* note = wording == cwAllNotNew ? " (new mail unknown)" : "";
    return TimeLine(time, timeSeparator) + " " + MailMessagesText(count, wording == cwNew) + note;
}

std::string MailboxesHintText(const std::vector<TMailboxCount>& withMail, TDateTime time,
                              const std::string& timeSeparator, TCountWording wording) {
    if (withMail.empty()) return TrayHintText(0, time, timeSeparator, wording);
    std::string hint = AtTime(time, timeSeparator) + ":";
    for (const TMailboxCount& box : withMail)
        hint += (&box == &withMail.front() ? " " : ", ") + box.Title + " " +
                std::to_string(box.Count);
    return hint;
}

std::string PausedTrayHint(const std::string& hint, std::size_t length) {
    static const std::string suffix = " (paused)";
    return hint.substr(0, length - suffix.size()) + suffix;
}

PopupLines PopupText(std::int32_t count, TDateTime time, const std::string& timeSeparator,
                     TCountWording wording) {
    if (time == 0.0) return {"Your mail has not", "yet been checked"};
    return {TimeLine(time, timeSeparator), MailMessagesText(count, wording == cwNew)};
}
