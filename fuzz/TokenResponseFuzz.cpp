// The token response reader and the redirect request line, fed anything. What the reader accepts
// must survive being written out again as JSON and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "oauth/OAuthText.h"
#include "oauth/TokenResponse.h"

namespace {

std::string Quoted(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            json += escape;
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TRedirect redirect;
    ParseRedirectRequest(text, redirect);

    TTokenResponse first;
    if (!ParseTokenResponse(text, first)) return 0;
    for (const std::string* s : {&first.AccessToken, &first.RefreshToken, &first.TokenType,
                                 &first.Error, &first.ErrorDescription})
        if (s->find('\0') != std::string::npos) std::abort();
    std::string json = "{\"access_token\":" + Quoted(first.AccessToken) +
                       ",\"refresh_token\":" + Quoted(first.RefreshToken) +
                       ",\"token_type\":" + Quoted(first.TokenType) +
                       ",\"error\":" + Quoted(first.Error) +
                       ",\"error_description\":" + Quoted(first.ErrorDescription);
    if (first.ExpiresIn >= 0) json += ",\"expires_in\":" + std::to_string(first.ExpiresIn);
    json += "}";
    TTokenResponse second;
    if (json.size() <= MaxTokenResponseSize &&
        (!ParseTokenResponse(json, second) || second.AccessToken != first.AccessToken ||
         second.RefreshToken != first.RefreshToken || second.TokenType != first.TokenType ||
         second.Error != first.Error || second.ErrorDescription != first.ErrorDescription ||
         second.ExpiresIn != first.ExpiresIn))
        std::abort();
    return 0;
}
