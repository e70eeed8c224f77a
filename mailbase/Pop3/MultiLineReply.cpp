#include "mailbase/Pop3/MultiLineReply.h"

#include "mailbase/MailErrors.h"

bool TMultiLineReply::Add(char byte) {
    if (++FRead > FReadBytes) throw EMailError("The mail server sent a reply that is too long.");
    if (byte != '\n') {
        if (FLine.size() < kMaxLineLength + 1) {
            FLine += byte;
        } else {
            FLineCut = true;
        }
        return false;
    }
    std::string line;
    line.swap(FLine);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "." && !FLineCut) return true;
    if (!line.empty() && line[0] == '.') line.erase(0, 1);
    if (line.size() > kMaxLineLength) line.resize(kMaxLineLength);
    FTruncated = FTruncated || FLineCut;
    FLineCut = false;
    if (FLines.size() < FKeepLines && FKept + line.size() <= FKeepBytes) {
        FKept += line.size();
        FLines.push_back(std::move(line));
    } else {
        FTruncated = true;
    }
    return false;
}
