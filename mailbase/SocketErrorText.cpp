#include "mailbase/SocketErrorText.h"

std::string SocketErrorText(std::uint16_t code) {
    switch (code) {
        case 0:
            return "";
        case 10061:
            return "Connection to mail server refused";
        case 10063:
            return "Mail server name too long";
        case 10064:
            return "The mail server is currently down";
        case 10065:
            return "The mail server is unreachable";
        case 11001:
            return "The mail server name is incorrect";
        // The check controller retries when it finds "DNS server busy" in a message.
        case 11002:
            return "DNS server busy, try again later";
        case 11004:
            return "The mail server name is incorrect";
        default:
            return "Error number " + std::to_string(code) + " occurred";
    }
}
