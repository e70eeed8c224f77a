#pragma once
// The tokens of a mailbox's signed-in account: the refresh token in the user's Credential Manager
// (never the registry or a file), the access token in memory only, renewed when it runs out.
// On the user-interface thread.

#include <windows.h>

#include <string>

#include "framework/Secret.h"
#include "oauth/SignInFlow.win.h"

class TAccountTokens {
public:
    // target: the credential that holds the refresh token.
    explicit TAccountTokens(std::string target) : FTarget(std::move(target)) {}

    // Keeps what a sign-in brought, for the account of this name, and wipes it from tokens.
    // Raises EOSError when the credential cannot be written.
    void Keep(const std::string& account, TTokenResponse& tokens);

    // Puts an access token into token: the one in memory while it has more than the margin to
    // live and renew is false; otherwise a new one for the stored refresh token, fetched on a
    // thread of its own while the calling thread's messages flow. Failure None on success;
    // Denied when no refresh token is stored or the provider no longer takes it; Canceled at
    // once when stop (may be null) is signalled or the program begins to end meanwhile.
    TSignInFailure AccessToken(const TOAuthClient& client, bool renew, TSecret& token,
                               std::string& detail, HANDLE stop = nullptr);

    // Whether a refresh token is stored.
    bool SignedIn() const;
    // Removes the stored refresh token and the access token.
    void Forget();
    const std::string& Target() const { return FTarget; }

private:
    std::string FTarget;
    TSecret FAccess;
    ULONGLONG FExpires = 0;  // in FILETIME units
};
