#pragma once
// What a token endpoint's answer means for the sign-in.

#include <string>

#include "oauth/TokenResponse.h"

enum class TTokenVerdict {
    Granted,    // a bearer access token, with its lifetime
    Refused,    // an OAuth error: Error and ErrorDescription say which
    Malformed,  // anything else
};

// Reads the HTTP status and body. A grant needs status 200, a non-empty access token of type
// "Bearer" (in any case) and a lifetime; an error member counts as a refusal whatever the status.
TTokenVerdict ReadTokenAnswer(unsigned long status, const std::string& body,
                              TTokenResponse& response);

// The access token is taken as expired this long before the provider says, so that a check that
// starts with it does not see it run out halfway.
constexpr long long TokenExpiryMarginSeconds = 60;
