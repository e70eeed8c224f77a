#include "framework/OSError.win.h"

#include <string>

namespace {

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}

}  // namespace

EOSError::EOSError(const char* operation, DWORD code)
    : Exception(std::string(operation) + " failed: " + SystemMessage(code) + " (error " +
                std::to_string(code) + ")"),
      Code(code) {}

void RaiseLastOSError(const char* operation) { throw EOSError(operation, GetLastError()); }
