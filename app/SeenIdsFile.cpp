#include "app/SeenIdsFile.h"

#include "framework/Convert.h"

#include <cstdint>

namespace {

const char kFirstLine[] = "Larkspur seen message IDs 1";

}  // namespace

std::string FormatSeenIds(const std::vector<std::string>& ids) {
    std::string data = std::string(kFirstLine) + "\n";
    std::size_t count = 0;
    for (const std::string& id : ids) {
        if (count == kMaxMessageIds || !IsValidMessageId(id)) continue;
        data += id + "\n";
        ++count;
    }
    return data + "end " + std::to_string(count) + "\n";
}

bool ParseSeenIds(const std::string& data, TSeenIds& seen) {
    seen.clear();
    if (data.size() > kMaxSeenFileSize || data.empty() || data.back() != '\n') return false;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < data.size();) {
        const std::size_t end = data.find('\n', start);
        lines.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    if (lines.size() < 2 || lines.size() - 2 > kMaxMessageIds || lines.front() != kFirstLine ||
        lines.back() != "end " + std::to_string(lines.size() - 2))
        return false;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (!IsValidMessageId(lines[i])) {
            seen.clear();
            return false;
        }
        seen.insert(lines[i]);
    }
    return true;
}

std::string SeenFileName(const std::string& server, const std::string& userName) {
    // FNV-1a, 64 bits.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char ch : server + '\n' + userName) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 1099511628211ull;
    }
    return "seen-" + HexDigits(hash, 16, true) + ".txt";
}
