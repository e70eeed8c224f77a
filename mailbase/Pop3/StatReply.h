#pragma once
// The numbers of a STAT reply ("+OK <count> <size>").

#include <cstdint>
#include <string>

struct TStatReply {
    std::int32_t MessageCount = 0;
    // A mailbox may hold more than 4 GiB.
    std::int64_t MailboxSize = 0;
};

// The first four characters (the "+OK " indicator) are skipped unread. The count is the word up
// to the first blank, a 32-bit integer that is not negative; the size is the next word, a 64-bit
// integer; whatever follows another blank is ignored, as RFC 1939 allows. A count or size that is
// not such a number raises EConvertError with its text; without a blank the count text is empty.
TStatReply ParseStatReply(const std::string& reply);
