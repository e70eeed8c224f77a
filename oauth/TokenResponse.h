#pragma once
// The JSON body that a token endpoint answers with. It comes from the network: nothing in it is
// trusted for size, nesting or encoding.

#include <cstdint>
#include <string>

struct TTokenResponse {
    std::string AccessToken;
    std::string RefreshToken;
    std::string TokenType;
    std::string Error;
    std::string ErrorDescription;
    // Seconds from the answer; -1 when the member is missing.
    std::int64_t ExpiresIn = -1;
};

// Bodies beyond this size are refused unread; real ones hold a few kilobytes.
constexpr std::size_t MaxTokenResponseSize = 64 * 1024;

// Reads a body that is one JSON object. Members other than those above are skipped (nesting up to
// a small depth). A member of the wrong type, text that is not JSON, a string that is not valid
// UTF-8 once decoded, or a body beyond the limit: false, and the result is left empty.
bool ParseTokenResponse(const std::string& body, TTokenResponse& result);
