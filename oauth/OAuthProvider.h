#pragma once
// The two account providers as data: where a user signs in, where tokens are had and what is
// asked for, and the application (client) ID that the requests carry.

#include <functional>
#include <string>

#include "oauth/OAuthText.h"

enum class TAccountProvider { Microsoft, Google };

struct TOAuthClient {
    std::string AuthorizationEndpoint;
    std::string TokenEndpoint;
    std::string Scope;
    // Empty when neither the build nor the mailbox's settings give one: no sign-in is possible.
    std::string ClientId;
    // What the provider needs besides the standard parameters to hand out a refresh token.
    TParameters ExtraAuthorizationParameters;
};

// The provider's data, with what the mailbox's settings ("OAuth Client ID", "OAuth
// Authorization Endpoint", "OAuth Token Endpoint" in the Mailbox section) put in its place. An
// endpoint setting counts only when it is an https URL: the system then checks the server's
// certificate, and no token travels in the clear. Whoever can write these settings can already
// run programs as the user, so they open no door that was closed; they let an organisation with
// its own identity service, and the tests, name other endpoints.
// setting reads a string of the Mailbox section, empty when absent.
using TMailboxSetting = std::function<std::string(const std::string& name)>;
TOAuthClient OAuthClientFor(TAccountProvider provider, const TMailboxSetting& setting);

// True for an "https://host..." URL.
bool SecureEndpoint(const std::string& url);

// The page that the browser opens; loginHint (the login name) may be empty.
std::string AuthorizationUrl(const TOAuthClient& client, const std::string& redirectUri,
                             const std::string& state, const std::string& challenge,
                             const std::string& loginHint);

// The form bodies for the token endpoint.
std::string CodeExchangeBody(const TOAuthClient& client, const std::string& code,
                             const std::string& redirectUri, const std::string& verifier);
std::string RefreshBody(const TOAuthClient& client, const std::string& refreshToken);
