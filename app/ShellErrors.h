#pragma once
// The texts of a failed shell open (OpenDocument's message box).

#include <string>

// The error text for a shell-open result of 32 or less.
std::string ShellErrorText(long result);
// The whole message: the error text, then how to open the page by hand.
std::string OpenDocumentFailureMessage(long result, const std::string& target);
