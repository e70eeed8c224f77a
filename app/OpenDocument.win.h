#pragma once

#include <string>

// Asks the shell to open a file or web address; a failure is shown in an error message box.
void OpenDocument(const std::string& target);
// The short (8.3) form of an existing path; the path itself when it has none.
std::string ShortPathName(const std::string& path);
// Opens the help document once for every "/?" among the command-line parameters.
void ProcessCommandLine(int argc, char** argv);
