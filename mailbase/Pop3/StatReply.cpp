#include "mailbase/Pop3/StatReply.h"

#include "framework/Convert.h"
#include "framework/Exception.h"

TStatReply ParseStatReply(const std::string& reply) {
    const std::string rest = reply.size() > 4 ? reply.substr(4) : std::string();
    const std::size_t blank = rest.find(' ');
    const std::string count = blank == std::string::npos ? "" : rest.substr(0, blank);
    const std::string size = blank == std::string::npos
                                 ? ""
                                 : rest.substr(blank + 1, rest.find(' ', blank + 1) - blank - 1);
    TStatReply result;
    result.MessageCount = StrToInt(count);
    // A negative count would be shown to the user as a number of messages.
    if (result.MessageCount < 0) throw EConvertError(NotAnIntegerMessage(count));
    result.MailboxSize = StrToInt64(size);
    return result;
}
