#pragma once
// How the program words a message count.

#include <cstdint>
#include <string>

// "no mail messages", "1 mail message", otherwise the number and " mail messages".
std::string MailMessagesText(std::int32_t count);

// The sentence of the "Mail" window: "You have 3 mail messages."
std::string CountWindowText(std::int32_t count);
