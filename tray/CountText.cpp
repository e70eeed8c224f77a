#include "tray/CountText.h"

std::string MailMessagesText(std::int32_t count) {
    if (count == 0) return "no mail messages";
    if (count == 1) return "1 mail message";
    return std::to_string(count) + " mail messages";
}

std::string CountWindowText(std::int32_t count) {
    return "You have " + MailMessagesText(count) + ".";
}
