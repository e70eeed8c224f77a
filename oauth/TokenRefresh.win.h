#pragma once
// A new access token for a refresh token, from the provider's token endpoint. Blocks the calling
// thread for as long as the request takes: never the user-interface thread.

#include "oauth/SignInFlow.win.h"

// Denied means the refresh token itself is no longer good: the user must sign in again.
TSignInOutcome RefreshAccessToken(const TOAuthClient& client, const std::string& refreshToken);
