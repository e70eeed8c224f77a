#include "mailbase/NetworkFailure.h"

#include <cstdint>

#include "mailbase/SocketErrorText.h"

namespace {

// Network down, unreachable or reset; connection aborted, reset, timed out or refused; host down
// or unreachable; name not found, name server busy, no address for the name.
constexpr std::uint16_t kNetworkCodes[] = {10050, 10051, 10052, 10053, 10054, 10060, 10061,
                                           10064, 10065, 11001, 11002, 11004};

}  // namespace

bool IsNetworkFailure(TMailErrorKind kind, const std::string& message) {
    if (kind == mekTimedOut) return true;
    if (kind != mekSocket) return false;
    for (std::uint16_t code : kNetworkCodes)
        if (message == SocketErrorText(code)) return true;
    return false;
}
