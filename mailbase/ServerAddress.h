#pragma once
// The mail server address as the user writes it: a host name or dotted address, optionally
// followed by ":" and a port that replaces the one of the service entry.

#include <cstdint>
#include <string>

struct TServerAddress {
    std::string Host;
    std::uint16_t Port = 0;  // 0: none given
};

// Raises EMailError when the text after the last ":" is not a port from 1 to 65535 in decimal or
// nothing comes before it.
TServerAddress ParseServerAddress(const std::string& address);
