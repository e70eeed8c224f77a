#include "mailbase/Pop3/Sasl.h"

#include <cctype>

#include "mailbase/MailErrors.h"

namespace {

const char kUnframeable[] = "The user name or password contains a character it cannot be sent with.";

// The longest AUTH line with its CR LF that every server takes.
constexpr std::size_t kMaxAuthLine = 255;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The authorization identity of a GS2 header: "," and "=" are escaped as the framing demands.
std::string Gs2Name(const std::string& user) {
    std::string name;
    for (char c : user) {
        if (c == ',') name += "=2C";
        else if (c == '=') name += "=3D";
        else name += c;
    }
    return name;
}

void Refuse(const std::string& text, char separator) {
    if (text.find(separator) != std::string::npos) throw EMailError(kUnframeable);
}

}  // namespace

const char* SaslMechanismName(TPop3Auth auth) {
    switch (auth) {
        case paPlain: return "PLAIN";
        case paXOAuth2: return "XOAUTH2";
        case paOAuthBearer: return "OAUTHBEARER";
        case paUserPass: break;
    }
    return "";
}

bool IsTokenAuth(TPop3Auth auth) { return auth == paXOAuth2 || auth == paOAuthBearer; }

std::string SaslResponse(TPop3Auth auth, const std::string& user, const std::string& secret,
                         const std::string& host, std::uint16_t port) {
    if (auth == paPlain) {
        Refuse(user, '\0');
        Refuse(secret, '\0');
        // No authorization identity: the server signs in as the user it authenticates.
        return std::string(1, '\0') + user + '\0' + secret;
    }
    Refuse(user, '\x01');
    Refuse(secret, '\x01');
    const std::string bearer = "auth=Bearer " + secret + "\x01\x01";
    if (auth == paXOAuth2) return "user=" + user + "\x01" + bearer;
    return "n,a=" + Gs2Name(user) + ",\x01host=" + host + "\x01port=" + std::to_string(port) +
           "\x01" + bearer;
}

std::string AuthCommand(TPop3Auth auth, const std::string& encodedResponse) {
    const std::string bare = std::string("AUTH ") + SaslMechanismName(auth);
    const std::string withResponse = bare + " " + encodedResponse;
    if (auth == paPlain && withResponse.size() + 2 <= kMaxAuthLine) return withResponse;
    return bare;
}

bool ResponseOnAuthLine(const std::string& authCommand) {
    // "AUTH" and the mechanism are the first two words; a third is the response.
    return authCommand.find(' ', 5) != std::string::npos;
}

std::string SaslAbortResponse(TPop3Auth auth) {
    if (auth == paXOAuth2) return "";
    if (auth == paOAuthBearer) return Base64Encode("\x01");
    return "*";
}

bool IsContinuation(const std::string& reply) {
    return reply.size() >= 2 && reply[0] == '+' && reply[1] == ' ';
}

bool CapaListsMechanism(const std::vector<std::string>& capaLines, const std::string& mechanism) {
    const std::string wanted = Upper(mechanism);
    for (const std::string& line : capaLines) {
        std::vector<std::string> words;
        std::string word;
        for (char c : line + ' ') {
            if (c == ' ' || c == '\t') {
                if (!word.empty()) words.push_back(Upper(word));
                word.clear();
            } else {
                word += c;
            }
        }
        if (words.empty() || words[0] != "SASL") continue;
        for (std::size_t i = 1; i < words.size(); ++i)
            if (words[i] == wanted) return true;
    }
    return false;
}

std::string Base64Encode(const std::string& bytes) {
    static const char digits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        text += digits[n >> 18];
        text += digits[n >> 12 & 63];
        text += digits[n >> 6 & 63];
        text += digits[n & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += digits[n >> 18];
        text += digits[n >> 12 & 63];
        text += rest == 2 ? digits[n >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}
