#pragma once
// Assembles the data of a multi-line POP3 reply (UIDL, TOP) from the bytes received after its
// status line: lines end in LF (a CR before it is dropped), a line "." ends the reply and a
// leading "." of any other line is taken away. What is kept is limited, what is read is too.

#include <cstddef>
#include <string>
#include <vector>

class TMultiLineReply {
public:
    // Lines beyond keepLines, or beyond keepBytes in all, are read and dropped; so is the part of
    // a line beyond kMaxLineLength. More than readBytes before the end raises EMailError.
    TMultiLineReply(std::size_t keepLines, std::size_t keepBytes, std::size_t readBytes)
        : FKeepLines(keepLines), FKeepBytes(keepBytes), FReadBytes(readBytes) {}

    // Generous beside RFC 5322's 998 octets.
    static constexpr std::size_t kMaxLineLength = 1000;

    // Adds one received byte; true once the terminating line has come.
    bool Add(char byte);

    // The lines kept, unstuffed and without their line ends.
    const std::vector<std::string>& Lines() const { return FLines; }
    // Whether any line was dropped.
    bool Truncated() const { return FTruncated; }

private:
    std::size_t FKeepLines, FKeepBytes, FReadBytes;
    std::size_t FRead = 0, FKept = 0;
    std::string FLine;
    bool FLineCut = false;
    bool FTruncated = false;
    std::vector<std::string> FLines;
};
