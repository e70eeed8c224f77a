#include "oauth/MailboxAccount.win.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/ResourceString.win.h"
#include "resources/resource.h"

TOAuthClient MailboxOAuthClient(TMailboxSettings& settings, TSignIn signIn) {
    return OAuthClientFor(signIn == siGoogle ? TAccountProvider::Google : TAccountProvider::Microsoft,
                          [&settings](const std::string& name) {
                              return settings.MailboxString(name.c_str());
                          });
}

TAccountTokens& MailboxAccountTokens(TMailboxSettings& settings) {
    // Each mailbox, and the tests' settings of another key, get a store of their own, never the
    // access token of another account: the credential's name alone does not tell, since a
    // removed mailbox's name goes to the one after it. A store lives as long as the program, as
    // a check may be using it while the settings change.
    static std::vector<std::pair<std::string, std::unique_ptr<TAccountTokens>>> stores;
    const std::string key = settings.AccountTarget() + '\n' + settings.LoginUsername() + '\n' +
                            std::to_string(settings.SignIn());
    for (const auto& [storeKey, store] : stores)
        if (storeKey == key) return *store;
    stores.emplace_back(key, std::make_unique<TAccountTokens>(settings.AccountTarget()));
    return *stores.back().second;
}

std::string MailboxAccessToken(TMailboxSettings& settings, bool renew, HANDLE stop) {
    TSecret token;
    std::string detail;
    if (MailboxAccountTokens(settings).AccessToken(MailboxOAuthClient(settings, settings.SignIn()),
                                                   renew, token, detail, stop) != TSignInFailure::None)
        return {};
    return token.Value();
}

std::string SignInFailureText(const TSignInOutcome& outcome) {
    const auto withDetail = [&outcome](UINT id) {
        std::string text = ResourceString(id);
        const std::size_t at = text.find("%s");
        if (at != std::string::npos) text.replace(at, 2, outcome.Detail);
        return text;
    };
    switch (outcome.Failure) {
    case TSignInFailure::None: return {};
    case TSignInFailure::NoClientId: return ResourceString(IDS_SIGNIN_NOCLIENTID);
    case TSignInFailure::NoListener: return ResourceString(IDS_SIGNIN_NOLISTENER);
    case TSignInFailure::NoBrowser: return ResourceString(IDS_SIGNIN_NOBROWSER);
    case TSignInFailure::Denied: return withDetail(IDS_SIGNIN_DENIED);
    case TSignInFailure::StateMismatch: return ResourceString(IDS_SIGNIN_STATE);
    case TSignInFailure::Unreachable: return withDetail(IDS_SIGNIN_UNREACHABLE);
    case TSignInFailure::BadAnswer: return ResourceString(IDS_SIGNIN_BADANSWER);
    case TSignInFailure::Canceled: return {};  // nobody waits for the words
    }
    return {};
}
