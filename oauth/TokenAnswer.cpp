#include "oauth/TokenAnswer.h"

#include <cctype>

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    const std::string other(b);
    if (a.size() != other.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(other[i])))
            return false;
    return true;
}

}  // namespace

TTokenVerdict ReadTokenAnswer(unsigned long status, const std::string& body,
                              TTokenResponse& response) {
    if (!ParseTokenResponse(body, response)) return TTokenVerdict::Malformed;
    if (!response.Error.empty()) return TTokenVerdict::Refused;
    if (status == 200 && !response.AccessToken.empty() && response.ExpiresIn > 0 &&
        EqualsIgnoringCase(response.TokenType, "Bearer"))
        return TTokenVerdict::Granted;
    return TTokenVerdict::Malformed;
}
