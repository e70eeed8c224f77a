#pragma once
// Who sent a message and about what, read from its header as "TOP n 0" returns it.

#include <string>
#include <vector>

struct TMessageSummary {
    std::string From;     // the display name, or the address when there is none; UTF-8
    std::string Subject;  // UTF-8
};

// Each text is cut to this many bytes (at a character boundary); the windows show less.
constexpr std::size_t kMaxSummaryText = 256;

// lines: the header's lines without their line ends, as they came (already unstuffed). The
// header ends at the first empty line; folded lines are unfolded, the first From and Subject
// field count, encoded words are decoded and anything malformed is kept as it stands.
TMessageSummary ParseMessageHeader(const std::vector<std::string>& lines);

// The name to show for the value of a From field.
std::string SenderName(const std::string& from);
