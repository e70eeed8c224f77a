#include "mailbase/Pop3/ReplyLine.h"

#include "mailbase/MailErrors.h"

std::string TReplyLine::Text() const {
    return FBytes.substr(0, FBytes.find('\0'));
}

bool TReplyLine::Add(char byte) {
    FBytes += byte;
    const std::string text = Text();
    if (text.size() > (FDataLine ? 0 : 3) && text.find('\n') == text.size() - 1) return true;
    if (FBytes.size() >= kMaxLength)
        throw EMailError("The mail server sent a reply line that is too long.");
    return false;
}

std::string TReplyLine::Reply() const {
    std::string text = Text();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

bool IsPositiveReply(const std::string& reply) {
    return !reply.empty() && reply[0] == '+';
}
