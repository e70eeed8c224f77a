#include "mailprogram/MailtoCommand.h"

#include <algorithm>
#include <cctype>

std::string MailProgramFromMailtoCommand(const std::string& command) {
    const bool quoted = !command.empty() && command[0] == '"';
    const std::string::size_type start = quoted ? 1 : 0;
    const std::string::size_type end = command.find(quoted ? '"' : ' ', start);
    const std::string path = command.substr(start, end == std::string::npos ? end : end - start);

    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("rundll") == std::string::npos ? path : std::string();
}
