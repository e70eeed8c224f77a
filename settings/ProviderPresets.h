#pragma once
// The mail servers of the large providers, for filling in the Mailbox page from an e-mail
// address. Data only: nothing is looked up on the network.

#include <optional>
#include <string>

#include "mailbase/SecurityMode.h"
#include "settings/SignIn.h"

struct TProviderPreset {
    const char* Domain;
    // The server as the settings store it; with smTLS the port is 995 without naming it.
    const char* Server;
    TSecurityMode Security;
    // The sign-in the provider requires, if it requires one.
    std::optional<TSignIn> SignIn;
};

// The preset for the domain of an e-mail address (the text after its last "@", in any case);
// none for a text that is no address or a domain the table does not know.
std::optional<TProviderPreset> PresetForAddress(const std::string& address);
