#pragma once
// Secrets kept in the user's Windows Credential Manager, as generic credentials persisted on the
// local machine (never roaming): the mailbox's password, the refresh token of a signed-in
// account. Targets and user names are ANSI text, as the rest of the settings; the secret is
// stored as its bytes, exactly as the program uses them, so nothing is lost in a conversion.
// advapi32 is among the libraries Windows always takes from its own folder.

#include <optional>
#include <string>

#include "framework/Secret.h"

// The prefix of every target this program writes; the uninstaller removes "Larkspur:*".
constexpr const char* CredentialPrefix = "Larkspur:";

// The secret stored under target, or nothing when no such credential exists. Any other failure
// raises EOSError.
std::optional<TSecret> ReadCredential(const std::string& target);
// The same, with the credential's user name put into user.
std::optional<TSecret> ReadCredentialAndUser(const std::string& target, std::string& user);

// Stores the secret under target with user as its user name, replacing what was there. Raises
// EOSError when it cannot (a secret too large, no profile to store into).
void WriteCredential(const std::string& target, const std::string& user, const TSecret& secret);

// Removes the credential; nothing happens when there is none. Raises EOSError on other failures.
void DeleteCredential(const std::string& target);

// Gives target the secret and user name stored under source, or removes target when source holds
// nothing. Raises EOSError when either cannot be done.
void CopyCredential(const std::string& source, const std::string& target);
