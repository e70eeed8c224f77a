#include "mailbase/ServerAddress.h"

#include "mailbase/MailErrors.h"

namespace {

[[noreturn]] void Refuse() {
    throw EMailError(
        "The mail server address must be a name, optionally followed by a colon and a port "
        "number from 1 to 65535.");
}

std::uint16_t PortOf(const std::string& digits) {
    unsigned long port = 0;
    for (char c : digits) {
        // Stops as soon as the number is out of range, so that no text can overflow it.
        if (c < '0' || c > '9' || port > 65535) Refuse();
        port = port * 10 + static_cast<unsigned long>(c - '0');
    }
    if (port < 1 || port > 65535) Refuse();
    return static_cast<std::uint16_t>(port);
}

}  // namespace

TServerAddress ParseServerAddress(const std::string& address) {
    if (!address.empty() && address[0] == '[') {
        const std::size_t close = address.find(']');
        if (close == std::string::npos || close == 1) Refuse();
        const std::string rest = address.substr(close + 1);
        if (!rest.empty() && rest[0] != ':') Refuse();
        return {address.substr(1, close - 1), rest.empty() ? std::uint16_t{0} : PortOf(rest.substr(1))};
    }
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos) return {address, 0};
    // Two colons or more: an IPv6 address, which has no room for a port without brackets.
    if (address.find(':') != colon) return {address, 0};
    if (colon == 0) Refuse();
    return {address.substr(0, colon), PortOf(address.substr(colon + 1))};
}
