#pragma once
// Assembles one POP3 reply line from the bytes received one at a time.

#include <cstddef>
#include <string>

class TReplyLine {
public:
    // POP3 replies are at most 512 octets including CR LF.
    static constexpr std::size_t kMaxLength = 512;

    // A data line is a line of a multi-line reply, such as the "." that ends it.
    explicit TReplyLine(bool dataLine = false) : FDataLine(dataLine) {}

    // Adds one received byte. Returns true once the line is complete: the text up to the first
    // zero byte is longer than three characters (any length for a data line) and its first LF
    // is its last character. A line
    // that reaches kMaxLength bytes without completing raises EMailError.
    bool Add(char byte);

    // The complete line without its trailing CR and LF characters.
    std::string Reply() const;

private:
    std::string Text() const;

    bool FDataLine;
    std::string FBytes;
};

// Whether a reply line is positive: it begins with "+".
bool IsPositiveReply(const std::string& reply);
