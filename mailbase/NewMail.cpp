#include "mailbase/NewMail.h"

#include <algorithm>
#include <unordered_set>

bool IsValidMessageId(const std::string& id) {
    if (id.empty() || id.size() > 70) return false;
    return std::all_of(id.begin(), id.end(), [](char ch) { return ch >= 0x21 && ch <= 0x7E; });
}

std::vector<TUidlEntry> ParseUidlLines(const std::vector<std::string>& lines) {
    std::vector<TUidlEntry> entries;
    std::unordered_set<std::int32_t> numbers;
    for (const std::string& line : lines) {
        if (entries.size() == kMaxMessageIds) break;
        const std::size_t space = line.find(' ');
        if (space == 0 || space == std::string::npos || space > 9) continue;
        std::int32_t number = 0;
        bool digits = true;
        for (std::size_t i = 0; i < space; ++i) {
            if (line[i] < '0' || line[i] > '9') digits = false;
            else number = number * 10 + (line[i] - '0');
        }
        const std::string id = line.substr(space + 1);
        if (!digits || number == 0 || !IsValidMessageId(id) || !numbers.insert(number).second)
            continue;
        entries.push_back({number, id});
    }
    return entries;
}

std::vector<std::int32_t> NewMessages(const std::vector<TUidlEntry>& entries,
                                      const TSeenIds& seen) {
    std::vector<std::int32_t> numbers;
    for (const TUidlEntry& entry : entries)
        if (seen.count(entry.Id) == 0) numbers.push_back(entry.Number);
    std::sort(numbers.begin(), numbers.end(), std::greater<>());
    return numbers;
}
