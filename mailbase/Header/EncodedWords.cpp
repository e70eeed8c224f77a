#include "mailbase/Header/EncodedWords.h"

#include <cstddef>

#include "mailbase/Header/Charsets.h"

namespace {

int Base64Value(char ch) {
    if (ch >= 'A' && ch <= 'Z') return ch - 'A';
    if (ch >= 'a' && ch <= 'z') return ch - 'a' + 26;
    if (ch >= '0' && ch <= '9') return ch - '0' + 52;
    if (ch == '+') return 62;
    if (ch == '/') return 63;
    return -1;
}

int HexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

// Padding may be missing (many mailers drop it); a stray character or a lone sixth bit group
// makes the word malformed.
bool DecodeBase64(const std::string& text, std::string& bytes) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == '=') --end;
    if (text.size() - end > 2 || end % 4 == 1) return false;
    unsigned bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const int value = Base64Value(text[i]);
        if (value < 0) return false;
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return true;
}

bool DecodeQ(const std::string& text, std::string& bytes) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            bytes += ' ';
        } else if (text[i] == '=') {
            if (i + 2 >= text.size()) return false;
            const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return false;
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return true;
}

// RFC 2047 allows 75 characters; real mail exceeds that, but a limit keeps a header full of
// "=?" from costing time that grows with its square.
constexpr std::size_t kMaxWordLength = 1000;

// The encoded word that starts at text[start], decoded into utf8; its length, or 0 when there
// is none there.
std::size_t EncodedWord(const std::string& text, std::size_t start, std::string& utf8) {
    if (text.compare(start, 2, "=?") != 0) return 0;
    const std::string word = text.substr(start, kMaxWordLength);
    const std::size_t charsetEnd = word.find('?', 2);
    if (charsetEnd == std::string::npos || charsetEnd + 2 >= word.size() ||
        word[charsetEnd + 2] != '?')
        return 0;
    const std::size_t textStart = charsetEnd + 3;
    const std::size_t textEnd = word.find("?=", textStart);
    if (textEnd == std::string::npos) return 0;
    const std::string encoded = word.substr(textStart, textEnd - textStart);
    if (encoded.find_first_of(" \t") != std::string::npos) return 0;
    std::string bytes;
    const char encoding = word[charsetEnd + 1];
    const bool decoded = encoding == 'B' || encoding == 'b' ? DecodeBase64(encoded, bytes)
                         : encoding == 'Q' || encoding == 'q' ? DecodeQ(encoded, bytes)
                                                              : false;
    if (!decoded) return 0;
    if (!CharsetToUtf8(word.substr(2, charsetEnd - 2), bytes, utf8)) return 0;
    return textEnd + 2;
}

}  // namespace

std::string DecodeEncodedWords(const std::string& text) {
    std::string out;
    std::string plain;        // raw text not yet converted
    std::string pendingSpace; // whitespace after an encoded word, dropped if another follows
    bool afterWord = false;
    const auto flushPlain = [&] {
        out += HeaderTextToUtf8(plain);
        plain.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        std::string word;
        const std::size_t length = EncodedWord(text, i, word);
        if (length > 0) {
            if (!afterWord) flushPlain();
            pendingSpace.clear();
            out += word;
            afterWord = true;
            i += length;
            continue;
        }
        if (afterWord && (text[i] == ' ' || text[i] == '\t')) {
            pendingSpace += text[i++];
            continue;
        }
        if (afterWord) {
            plain += pendingSpace;
            pendingSpace.clear();
            afterWord = false;
        }
        plain += text[i++];
    }
    plain += pendingSpace;
    flushPlain();
    return out;
}
