#pragma once
// How the program words a message count.

#include <cstdint>
#include <string>

// "no mail messages", "1 mail message", otherwise the number and " mail messages"; with onlyNew
// "new " before "mail" ("no new mail messages", "2 new mail messages").
std::string MailMessagesText(std::int32_t count, bool onlyNew = false);

// The sentence of the "Mail" window: "You have 3 mail messages." or "You have 2 new mail
// messages."
std::string CountWindowText(std::int32_t count, bool onlyNew = false);

// One line of the list of new messages under it: "Alice Example — Lunch?"; either part alone
// when the other is empty.
std::string SenderSubjectLine(const std::string& from, const std::string& subject);
