#pragma once
// How a check protects its connection. The values are the ones stored in the settings.

#include <cstdint>

enum TSecurityMode : std::int32_t {
    smNone = 0,  // plain POP3, as before
    smSTLS = 1,  // the plain greeting on the POP3 port, then STLS and TLS before USER
    smTLS = 2,   // TLS from the first byte, on the POP3-over-TLS port
};

// A stored value as a mode. A value that names no mode is smNone, as an absent one is.
TSecurityMode SecurityModeOf(std::int32_t stored);
