#include "mailbase/ServerAddress.h"

#include "mailbase/MailErrors.h"

TServerAddress ParseServerAddress(const std::string& address) {
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos) return {address, 0};

    const std::string host = address.substr(0, colon);
    const std::string digits = address.substr(colon + 1);
    bool valid = !host.empty() && !digits.empty();
    unsigned long port = 0;
    for (char c : digits) {
        // Stops as soon as the number is out of range, so that no text can overflow it.
        if (c < '0' || c > '9' || port > 65535) {
            valid = false;
            break;
        }
        port = port * 10 + static_cast<unsigned long>(c - '0');
    }
    if (!valid || port < 1 || port > 65535)
        throw EMailError(
            "The mail server address must be a name, optionally followed by a colon and a port "
            "number from 1 to 65535.");
    return {host, static_cast<std::uint16_t>(port)};
}
