#pragma once
// The texts the user sees for socket service error codes.

#include <cstdint>
#include <string>

// Empty for 0; a fixed text for the codes users meet (refused, unreachable, bad name, busy name
// server); "Error number <code> occurred" for every other code.
std::string SocketErrorText(std::uint16_t code);
