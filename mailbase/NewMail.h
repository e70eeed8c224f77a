#pragma once
// New mail: the messages whose unique ID (UIDL) the user has not been told about yet.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "mailbase/Header/MessageHeader.h"

struct TUidlEntry {
    std::int32_t Number = 0;
    std::string Id;
};

using TSeenIds = std::unordered_set<std::string>;

// A mailbox with more messages than this is told about by its first this many IDs; neither the
// server nor the seen-ID file can make the program hold more.
constexpr std::size_t kMaxMessageIds = 100000;
// How many new messages the check reads the header of.
constexpr std::size_t kMaxPreviews = 5;

// RFC 1939: 1 to 70 characters from 0x21 to 0x7E.
bool IsValidMessageId(const std::string& id);

// The "n id" lines of a UIDL reply. A line of any other form, or with an ID that is not valid,
// is left out; so is a number seen before.
std::vector<TUidlEntry> ParseUidlLines(const std::vector<std::string>& lines);

// The message numbers of the entries not in seen, highest (newest) first.
std::vector<std::int32_t> NewMessages(const std::vector<TUidlEntry>& entries,
                                      const TSeenIds& seen);

// What a check that looks for new mail found.
struct TNewMail {
    bool Asked = false;      // the check looked for new mail
    bool Supported = false;  // the server answered UIDL; otherwise the plain count stands
    std::int32_t Count = 0;  // messages not seen before
    std::vector<std::string> CurrentIds;  // every ID in the mailbox now
    std::vector<TMessageSummary> Newest;  // up to kMaxPreviews, newest first
};
