#include "mailbase/Header/MessageHeader.h"

#include <cstddef>

#include "mailbase/Header/EncodedWords.h"

namespace {

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool NameIs(const std::string& field, std::size_t colon, const char* name) {
    std::string lower = Trim(field.substr(0, colon));
    for (char& ch : lower)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return lower == name;
}

// Cut at a character boundary: never inside a UTF-8 sequence.
std::string Limited(std::string text) {
    if (text.size() <= kMaxSummaryText) return text;
    std::size_t end = kMaxSummaryText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

// A quoted string loses its quotes and the backslashes of its quoted pairs.
std::string Unquoted(const std::string& phrase) {
    if (phrase.size() < 2 || phrase.front() != '"' || phrase.back() != '"') return phrase;
    std::string text;
    for (std::size_t i = 1; i + 1 < phrase.size(); ++i) {
        if (phrase[i] == '\\' && i + 2 < phrase.size()) ++i;
        text += phrase[i];
    }
    return text;
}

// Where the angle-bracketed address begins: the first "<" outside a quoted string.
std::size_t AddressStart(const std::string& from) {
    bool quoted = false;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (quoted && from[i] == '\\') {
            ++i;
        } else if (from[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && from[i] == '<') {
            return i;
        }
    }
    return std::string::npos;
}

}  // namespace

std::string SenderName(const std::string& from) {
    const std::string value = Trim(from);
    const std::size_t open = AddressStart(value);
    if (open != std::string::npos) {
        // Mailers put encoded words inside quotes too; they are decoded there as well.
        const std::string name = Trim(DecodeEncodedWords(Unquoted(Trim(value.substr(0, open)))));
        if (!name.empty()) return name;
        const std::size_t close = value.find('>', open);
        const std::string address =
            Trim(value.substr(open + 1, close == std::string::npos ? close : close - open - 1));
        if (!address.empty()) return DecodeEncodedWords(address);
    }
    // The old form "address (Name)".
    const std::size_t comment = value.find('(');
    const std::size_t commentEnd = value.rfind(')');
    if (comment != std::string::npos && commentEnd != std::string::npos && commentEnd > comment) {
        const std::string name =
            Trim(DecodeEncodedWords(value.substr(comment + 1, commentEnd - comment - 1)));
        if (!name.empty()) return name;
    }
    return DecodeEncodedWords(value);
}

TMessageSummary ParseMessageHeader(const std::vector<std::string>& lines) {
    std::vector<std::string> fields;
    for (const std::string& line : lines) {
        if (line.empty()) break;
        if ((line[0] == ' ' || line[0] == '\t') && !fields.empty()) {
            // Unfolding takes away the line break only; the whitespace stays.
            fields.back() += line;
        } else {
            fields.push_back(line);
        }
    }
    TMessageSummary summary;
    bool haveFrom = false, haveSubject = false;
    for (const std::string& field : fields) {
        const std::size_t colon = field.find(':');
        if (colon == std::string::npos) continue;
        const std::string value = field.substr(colon + 1);
        if (!haveFrom && NameIs(field, colon, "from")) {
            summary.From = Limited(SenderName(value));
            haveFrom = true;
        } else if (!haveSubject && NameIs(field, colon, "subject")) {
            summary.Subject = Limited(Trim(DecodeEncodedWords(value)));
            haveSubject = true;
        }
    }
    return summary;
}
