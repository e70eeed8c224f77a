#pragma once
// Names that start-up derives from the program's own path.

#include <string>
#include <vector>

extern const char kApplicationTitle[];  // "Brightmoor Larkspur"

// Everything after the last '\' or ':' of the module path (no case folding, extension kept).
std::string ExecutableFileName(const std::string& modulePath);
// The module path up to and including its last '\' or ':'.
std::string ExecutableFolder(const std::string& modulePath);
// The name of the mutex that keeps a second copy of this executable from running.
std::string SingleInstanceMutexName(const std::string& modulePath);
// The help document beside the executable: <folder>Help\Larkspur.htm.
std::string HelpDocumentPath(const std::string& modulePath);
// How many times the help switch "/?" occurs among the parameters (exact, case-sensitive).
int HelpSwitchCount(const std::vector<std::string>& parameters);
