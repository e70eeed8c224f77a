#include "tray/CountText.h"

std::string MailMessagesText(std::int32_t count, bool onlyNew) {
    const std::string mail = onlyNew ? "new mail message" : "mail message";
    if (count == 0) return "no " + mail + "s";
    if (count == 1) return "1 " + mail;
    return std::to_string(count) + " " + mail + "s";
}

std::string CountWindowText(std::int32_t count, bool onlyNew) {
    return "You have " + MailMessagesText(count, onlyNew) + ".";
}

std::string SenderSubjectLine(const std::string& from, const std::string& subject) {
    if (from.empty()) return subject;
    if (subject.empty()) return from;
    return from + " \xE2\x80\x94 " + subject;
}
