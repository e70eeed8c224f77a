#pragma once
// The kind of a failed check, as the count job reports it to the controller.

#include <cstdint>

enum TMailErrorKind : std::uint8_t {
    mekMail = 0,      // the server refused (its reply line is the message)
    mekSocket = 1,    // the network failed
    mekTimedOut = 2,  // a wait ran out of time
    mekCanceled = 3,  // the check was cancelled
};
