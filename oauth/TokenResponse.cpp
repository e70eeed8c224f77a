#include "oauth/TokenResponse.h"

#include <cstddef>

#include "framework/Utf8.h"

namespace {

constexpr int MaxDepth = 16;

class TReader {
public:
    explicit TReader(const std::string& text) : Text(text) {}

    bool Document(TTokenResponse& result) {
        SkipBlanks();
        if (!Take('{')) return false;
        SkipBlanks();
        if (!Take('}')) {
            do {
                std::string name;
                SkipBlanks();
                if (!String(name)) return false;
                SkipBlanks();
                if (!Take(':')) return false;
                SkipBlanks();
                if (!Member(name, result)) return false;
                SkipBlanks();
            } while (Take(','));
            if (!Take('}')) return false;
        }
        SkipBlanks();
        return Pos == Text.size();
    }

private:
    bool Member(const std::string& name, TTokenResponse& result) {
        std::string* target = name == "access_token"        ? &result.AccessToken
                              : name == "refresh_token"     ? &result.RefreshToken
                              : name == "token_type"        ? &result.TokenType
                              : name == "error"             ? &result.Error
                              : name == "error_description" ? &result.ErrorDescription
                                                            : nullptr;
        if (target) return String(*target);
        if (name == "expires_in") return Seconds(result.ExpiresIn);
        return Value(1);
    }

    // A whole number of seconds; some endpoints send it as a string of digits.
    bool Seconds(std::int64_t& seconds) {
        std::string digits;
        if (Peek() == '"') {
            if (!String(digits)) return false;
        } else {
            const std::size_t start = Pos;
            if (!Number()) return false;
            digits = Text.substr(start, Pos - start);
        }
        if (digits.empty() || digits.size() > 12) return false;
        std::int64_t value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + (c - '0');
        }
        seconds = value;
        return true;
    }

    bool Value(int depth) {
        if (depth > MaxDepth) return false;
        std::string ignored;
        switch (Peek()) {
        case '"': return String(ignored);
        case '{': return Container('}', depth, true);
        case '[': return Container(']', depth, false);
        case 't': return Word("true");
        case 'f': return Word("false");
        case 'n': return Word("null");
        default: return Number();
        }
    }

    bool Container(char close, int depth, bool named) {
        ++Pos;
        SkipBlanks();
        if (Take(close)) return true;
        do {
            SkipBlanks();
            if (named) {
                std::string ignored;
                if (!String(ignored)) return false;
                SkipBlanks();
                if (!Take(':')) return false;
                SkipBlanks();
            }
            if (!Value(depth + 1)) return false;
            SkipBlanks();
        } while (Take(','));
        return Take(close);
    }

    bool Word(const char* word) {
        const std::string w(word);
        if (Text.compare(Pos, w.size(), w) != 0) return false;
        Pos += w.size();
        return true;
    }

    bool Number() {
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits()) return false;
        if (Peek() == 'e' || Peek() == 'E') {
            ++Pos;
            if (!Take('+')) Take('-');
            if (!Digits()) return false;
        }
        return true;
    }

    bool Digits() {
        const std::size_t start = Pos;
        while (Peek() >= '0' && Peek() <= '9') ++Pos;
        return Pos > start;
    }

    bool String(std::string& out) {
        out.clear();
        if (!Take('"')) return false;
        while (Pos < Text.size()) {
            const unsigned char c = static_cast<unsigned char>(Text[Pos++]);
            if (c == '"') return ValidUtf8(out);
            if (c < 0x20) return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (Pos >= Text.size()) return false;
            const char e = Text[Pos++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
                if (!Escape(out)) return false;
                break;
            default: return false;
            }
        }
        return false;
    }

    bool Hex4(unsigned& unit) {
        if (Text.size() - Pos < 4) return false;
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = Text[Pos++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return false;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return true;
    }

    // \uXXXX, with a high surrogate joined to the \uXXXX low surrogate that must follow it.
    bool Escape(std::string& out) {
        unsigned code = 0;
        if (!Hex4(code)) return false;
        if (code >= 0xDC00 && code <= 0xDFFF) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
            unsigned low = 0;
            if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        if (code == 0) return false;  // a zero would cut the text short wherever it goes next
        AppendUtf8(out, static_cast<char32_t>(code));
        return true;
    }

    // Well-formed UTF-8: shortest forms only, no surrogates, nothing beyond U+10FFFF.
    static bool ValidUtf8(const std::string& s) {
        std::size_t i = 0;
        while (i < s.size()) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            std::size_t length;
            unsigned code;
            if (c < 0x80) {
                ++i;
                continue;
            } else if (c >= 0xC2 && c <= 0xDF) {
                length = 2, code = c & 0x1F;
            } else if (c >= 0xE0 && c <= 0xEF) {
                length = 3, code = c & 0x0F;
            } else if (c >= 0xF0 && c <= 0xF4) {
                length = 4, code = c & 0x07;
            } else {
                return false;
            }
            if (s.size() - i < length) return false;
            for (std::size_t k = 1; k < length; ++k) {
                const unsigned char t = static_cast<unsigned char>(s[i + k]);
                if ((t & 0xC0) != 0x80) return false;
                code = (code << 6) | (t & 0x3F);
            }
            if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
                (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
                return false;
            i += length;
        }
        return true;
    }

    char Peek() const { return Pos < Text.size() ? Text[Pos] : '\0'; }
    bool Take(char c) {
        if (Pos < Text.size() && Text[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    void SkipBlanks() {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r') ++Pos;
    }

    const std::string& Text;
    std::size_t Pos = 0;
};

}  // namespace

bool ParseTokenResponse(const std::string& body, TTokenResponse& result) {
    result = TTokenResponse{};
    TTokenResponse read;
    if (body.size() > MaxTokenResponseSize || !TReader(body).Document(read)) return false;
    result = read;
    return true;
}
