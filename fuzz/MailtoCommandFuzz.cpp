// The program path taken from a "mailto" command that any program may have written.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mailprogram/MailtoCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string command(reinterpret_cast<const char*>(data), size);
    const std::string path = MailProgramFromMailtoCommand(command);
    // A piece of the command, never the library runner, and never cut across its terminator.
    if (command.find(path) == std::string::npos) std::abort();
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("rundll") != std::string::npos) std::abort();
    const bool quoted = !command.empty() && command[0] == '"';
    if (path.find(quoted ? '"' : ' ') != std::string::npos) std::abort();
    return 0;
}
