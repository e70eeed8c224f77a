#include "mailbase/Pop3/StatReply.h"

#include "framework/Convert.h"

TStatReply ParseStatReply(const std::string& reply) {
    const std::string rest = reply.size() > 4 ? reply.substr(4) : std::string();
    const std::size_t blank = rest.find(' ');
    TStatReply result;
    result.MessageCount = StrToInt(blank == std::string::npos ? "" : rest.substr(0, blank));
    result.MailboxSize = StrToInt(rest.substr(blank + 1));
    return result;
}
