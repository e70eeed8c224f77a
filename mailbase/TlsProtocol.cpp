#include "mailbase/TlsProtocol.h"

namespace {

constexpr unsigned char kHandshakeRecord = 0x16;
constexpr unsigned char kServerHello = 0x02;
// The version field of TLS 1.2; TLS 1.3 keeps it in its ServerHello too.
constexpr int kTls12 = 0x0303;

// PCT, SSL 2, SSL 3, TLS 1.0 and TLS 1.1, each for client and server.
constexpr std::uint32_t kOutdatedProtocols = 0x000003FF;

unsigned char At(const std::string& bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

}  // namespace

bool AnswersWithOutdatedTls(const std::string& firstBytes) {
    // Record: type, version (2), length (2). Handshake message: type, length (3), then a
    // ServerHello's version (2). A protocol_version alert says nothing: a server may send it
    // because it speaks only newer versions than the client offered.
    if (firstBytes.size() >= 11 && At(firstBytes, 0) == kHandshakeRecord &&
        At(firstBytes, 5) == kServerHello)
        return (At(firstBytes, 9) << 8 | At(firstBytes, 10)) < kTls12;
    return false;
}

bool IsOutdatedProtocol(std::uint32_t protocol) {
    return protocol == 0 || (protocol & kOutdatedProtocols) != 0;
}
