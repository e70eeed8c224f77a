// Reply line assembly fed the bytes of a server, one at a time as the session receives them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "mailbase/MailErrors.h"
#include "mailbase/Pop3/ReplyLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TReplyLine line;
    std::size_t taken = 0;
    try {
        while (taken < size)
            if (line.Add(static_cast<char>(data[taken++]))) break;
    } catch (const EMailError&) {
        // Refused as too long: only ever at the line's limit.
        if (taken != TReplyLine::kMaxLength) std::abort();
        return 0;
    }
    if (taken > TReplyLine::kMaxLength) std::abort();
    const std::string reply = line.Reply();
    // Whatever the line holds: no zero byte, no line end left at its end, never longer than
    // what was received.
    if (reply.find('\0') != std::string::npos || reply.size() > taken) std::abort();
    if (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) std::abort();
    return 0;
}
