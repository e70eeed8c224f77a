#include "oauth/OAuthText.h"

#include "oauth/Sha256.h"

namespace {

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// False on a "%" not followed by two hexadecimal digits.
bool PercentDecode(const std::string& text, std::string& decoded) {
    decoded.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded += ' ';
        } else if (text[i] != '%') {
            decoded += text[i];
        } else {
            if (text.size() - i < 3) return false;
            const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return false;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return true;
}

}  // namespace

std::string Base64Url(const std::uint8_t* data, std::size_t size) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string text;
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const unsigned v = unsigned(data[i]) << 16 | unsigned(data[i + 1]) << 8 | data[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) text += alphabet[(v >> shift) & 63];
    }
    if (size - i == 1) {
        const unsigned v = unsigned(data[i]) << 16;
        text += alphabet[(v >> 18) & 63];
        text += alphabet[(v >> 12) & 63];
    } else if (size - i == 2) {
        const unsigned v = unsigned(data[i]) << 16 | unsigned(data[i + 1]) << 8;
        text += alphabet[(v >> 18) & 63];
        text += alphabet[(v >> 12) & 63];
        text += alphabet[(v >> 6) & 63];
    }
    return text;
}

std::string PercentEncode(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (Unreserved(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    return encoded;
}

void AddFormField(std::string& form, const char* name, const std::string& value) {
    if (!form.empty()) form += '&';
    form += PercentEncode(name) + '=' + PercentEncode(value);
}

std::string CodeChallenge(const std::string& verifier) {
    const auto digest = Sha256(verifier);
    return Base64Url(digest.data(), digest.size());
}

std::string RandomText(const std::uint8_t* random, std::size_t size) {
    return Base64Url(random, size);
}

std::string LoopbackRedirectUri(std::uint16_t port) {
    return "http://127.0.0.1:" + std::to_string(port) + "/";
}

bool ParseRedirectRequest(const std::string& requestLine, TRedirect& redirect) {
    redirect = TRedirect{};
    const std::string prefix = "GET /?";
    const std::size_t end = requestLine.find(' ', prefix.size());
    if (requestLine.compare(0, prefix.size(), prefix) != 0 || end == std::string::npos ||
        requestLine.compare(end, 7, " HTTP/1") != 0)
        return false;
    const std::string query = requestLine.substr(prefix.size(), end - prefix.size());
    TRedirect read;
    std::size_t at = 0;
    while (at <= query.size()) {
        std::size_t next = query.find('&', at);
        if (next == std::string::npos) next = query.size();
        const std::string pair = query.substr(at, next - at);
        const std::size_t equals = pair.find('=');
        std::string name, value;
        if (equals != std::string::npos &&
            (!PercentDecode(pair.substr(0, equals), name) ||
             !PercentDecode(pair.substr(equals + 1), value)))
            return false;
        std::string* target = name == "code"                ? &read.Code
                              : name == "state"             ? &read.State
                              : name == "error"             ? &read.Error
                              : name == "error_description" ? &read.ErrorDescription
                                                            : nullptr;
        if (target) *target = value;
        at = next + 1;
    }
    redirect = read;
    return true;
}

std::string RedirectAnswer(const std::string& sentence) {
    const std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Larkspur"
                             "</title></head><body><p>" +
                             sentence + "</p></body></html>";
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           std::to_string(page.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" +
           page;
}
