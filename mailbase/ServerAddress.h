#pragma once
// The mail server address as the user writes it: a host name, a dotted address or an IPv6
// address, optionally followed by ":" and a port that replaces the one of the service entry. An
// IPv6 address takes a port only inside brackets ("[::1]:995"); without them its colons are
// its own ("::1").

#include <cstdint>
#include <string>

struct TServerAddress {
    std::string Host;
    std::uint16_t Port = 0;  // 0: none given
};

// Raises EMailError when the text after the port's ":" is not a port from 1 to 65535 in decimal,
// when nothing comes before it, or when brackets do not enclose a host followed by nothing or by
// a port.
TServerAddress ParseServerAddress(const std::string& address);
