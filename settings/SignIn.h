#pragma once
// How the mailbox signs in, as the settings store it ("Sign-in" in the Mailbox section) and as
// the Properties dialog lists it.

#include <cstdint>

#include "mailbase/Pop3/Sasl.h"

enum TSignIn : std::uint8_t {
    siPassword = 0,   // USER and PASS
    siPlain = 1,      // the password through AUTH PLAIN
    siMicrosoft = 2,  // an OAuth access token of a Microsoft account
    siGoogle = 3,     // an OAuth access token of a Google account
};

// The sign-in of a stored number; any number outside the list is the password.
TSignIn SignInOf(std::int32_t value);

// Whether the sign-in goes through an account's token rather than a password.
bool IsAccountSignIn(TSignIn signIn);

// The POP3 mechanism that carries the sign-in. Both providers take XOAUTH2, which Microsoft's
// server requires.
TPop3Auth Pop3AuthOf(TSignIn signIn);
