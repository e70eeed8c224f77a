#pragma once
// The numbers of a STAT reply ("+OK <count> <size>").

#include <cstdint>
#include <string>

struct TStatReply {
    std::int32_t MessageCount = 0;
    std::int32_t MailboxSize = 0;
};

// The first four characters (the "+OK " indicator) are skipped unread; the count is the text up
// to the first blank, the size everything after it. Either text that is not an integer raises
// EConvertError; without a blank the count text is empty.
TStatReply ParseStatReply(const std::string& reply);
