#pragma once
// The mailbox's account sign-in as the check and the Properties dialog use it: its provider
// data from the settings, its tokens, and the words for a sign-in that failed.

#include <string>

#include "oauth/AccountTokens.win.h"
#include "settings/MailboxSettings.h"

// The provider data for an account sign-in, with the mailbox's own settings in its place.
TOAuthClient MailboxOAuthClient(TMailboxSettings& settings, TSignIn signIn);

// The tokens of the mailbox's account; one store per credential for the program's run.
TAccountTokens& MailboxAccountTokens(TMailboxSettings& settings);

// The access token for a check, or empty when there is none to be had; a renewal ends at once
// when stop (may be null) is signalled.
std::string MailboxAccessToken(TMailboxSettings& settings, bool renew, HANDLE stop = nullptr);

// What the user is told when a sign-in ended with this failure.
std::string SignInFailureText(const TSignInOutcome& outcome);
