#pragma once
// The program named by the system's command for "mailto" links.

#include <string>

// The program path at the start of a "mailto" command: the text inside the opening double quote
// up to the next one, or, unquoted, the text up to the first blank. Without a terminator the
// path runs to the end of the command. A path that names the system's library runner ("rundll"
// in any letter case) is no mail program and gives the empty text.
std::string MailProgramFromMailtoCommand(const std::string& command);
