#pragma once
// Whether a failed check met the network rather than the server: no route, a name that does not
// resolve, a connection refused or broken, or a time-out. Such a failure may pass once the
// network has come up; a server's refusal or a certificate that is wrong will not.

#include <string>

#include "mailbase/MailErrorKind.h"

// The job reports a socket failure by its text alone, so the text is compared with the texts
// of the network's error codes.
bool IsNetworkFailure(TMailErrorKind kind, const std::string& message);
