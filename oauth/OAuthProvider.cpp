#include "oauth/OAuthProvider.h"

#ifndef LARKSPUR_OAUTH_CLIENT_ID
#define LARKSPUR_OAUTH_CLIENT_ID ""
#endif

namespace {

struct TProviderData {
    const char* AuthorizationEndpoint;
    const char* TokenEndpoint;
    const char* Scope;
    const char* ExtraName;
    const char* ExtraValue;
};

const TProviderData kMicrosoft = {
    "https://login.microsoftonline.com/common/oauth2/v2.0/authorize",
    "https://login.microsoftonline.com/common/oauth2/v2.0/token",
    "https://outlook.office.com/POP.AccessAsUser.All offline_access", nullptr, nullptr};
// Google hands out a refresh token only for offline access.
const TProviderData kGoogle = {"https://accounts.google.com/o/oauth2/v2/auth",
                               "https://oauth2.googleapis.com/token", "https://mail.google.com/",
                               "access_type", "offline"};

std::string Setting(const TMailboxSetting& setting, const char* name, const std::string& builtIn,
                    bool endpoint) {
    const std::string value = setting(name);
    return value.empty() || (endpoint && !SecureEndpoint(value)) ? builtIn : value;
}

}  // namespace

bool SecureEndpoint(const std::string& url) {
    const std::string scheme = "https://";
    return url.size() > scheme.size() && url.compare(0, scheme.size(), scheme) == 0 &&
           url[scheme.size()] != '/';
}

TOAuthClient OAuthClientFor(TAccountProvider provider, const TMailboxSetting& settings) {
    const TProviderData& data = provider == TAccountProvider::Microsoft ? kMicrosoft : kGoogle;
    TOAuthClient client;
    client.AuthorizationEndpoint =
        Setting(settings, "OAuth Authorization Endpoint", data.AuthorizationEndpoint, true);
    client.TokenEndpoint = Setting(settings, "OAuth Token Endpoint", data.TokenEndpoint, true);
    client.Scope = data.Scope;
    client.ClientId = Setting(settings, "OAuth Client ID", LARKSPUR_OAUTH_CLIENT_ID, false);
    if (data.ExtraName) client.ExtraAuthorizationParameters = {{data.ExtraName, data.ExtraValue}};
    return client;
}

std::string AuthorizationUrl(const TOAuthClient& client, const std::string& redirectUri,
                             const std::string& state, const std::string& challenge,
                             const std::string& loginHint) {
    std::string query;
    AddFormField(query, "response_type", "code");
    AddFormField(query, "client_id", client.ClientId);
    AddFormField(query, "redirect_uri", redirectUri);
    AddFormField(query, "scope", client.Scope);
    AddFormField(query, "state", state);
    AddFormField(query, "code_challenge", challenge);
    AddFormField(query, "code_challenge_method", "S256");
    if (!loginHint.empty()) AddFormField(query, "login_hint", loginHint);
    for (const auto& [name, value] : client.ExtraAuthorizationParameters)
        AddFormField(query, name.c_str(), value);
    const char separator =
        client.AuthorizationEndpoint.find('?') == std::string::npos ? '?' : '&';
    return client.AuthorizationEndpoint + separator + query;
}

std::string CodeExchangeBody(const TOAuthClient& client, const std::string& code,
                             const std::string& redirectUri, const std::string& verifier) {
    std::string body;
    AddFormField(body, "grant_type", "authorization_code");
    AddFormField(body, "client_id", client.ClientId);
    AddFormField(body, "code", code);
    AddFormField(body, "redirect_uri", redirectUri);
    AddFormField(body, "code_verifier", verifier);
    return body;
}

std::string RefreshBody(const TOAuthClient& client, const std::string& refreshToken) {
    std::string body;
    AddFormField(body, "grant_type", "refresh_token");
    AddFormField(body, "client_id", client.ClientId);
    AddFormField(body, "refresh_token", refreshToken);
    AddFormField(body, "scope", client.Scope);
    return body;
}
