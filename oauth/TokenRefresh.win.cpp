#include "oauth/TokenRefresh.win.h"

#include "oauth/HttpsPost.win.h"

TSignInOutcome RefreshAccessToken(const TOAuthClient& client, const std::string& refreshToken) {
    TSignInOutcome outcome;
    if (client.ClientId.empty()) {
        outcome.Failure = TSignInFailure::NoClientId;
        return outcome;
    }
    std::string body = RefreshBody(client, refreshToken);
    THttpsAnswer answer = HttpsPost(client.TokenEndpoint, body);
    Wipe(body);
    if (!answer.Answered) {
        outcome.Failure = TSignInFailure::Unreachable;
        outcome.Detail = answer.Failure;
        return outcome;
    }
    switch (ReadTokenAnswer(answer.Status, answer.Body, outcome.Tokens)) {
    case TTokenVerdict::Granted: break;
    case TTokenVerdict::Refused:
        outcome.Failure = TSignInFailure::Denied;
        outcome.Detail = outcome.Tokens.ErrorDescription.empty() ? outcome.Tokens.Error
                                                                 : outcome.Tokens.ErrorDescription;
        break;
    case TTokenVerdict::Malformed: outcome.Failure = TSignInFailure::BadAnswer; break;
    }
    Wipe(answer.Body);
    return outcome;
}
