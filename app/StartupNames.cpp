#include "app/StartupNames.h"

const char kApplicationTitle[] = "Brightmoor Larkspur";

namespace {

std::string::size_type AfterLastSeparator(const std::string& path) {
    const auto last = path.find_last_of("\\:");
    return last == std::string::npos ? 0 : last + 1;
}

}  // namespace

std::string ExecutableFileName(const std::string& modulePath) {
    return modulePath.substr(AfterLastSeparator(modulePath));
}

std::string ExecutableFolder(const std::string& modulePath) {
    return modulePath.substr(0, AfterLastSeparator(modulePath));
}

std::string SingleInstanceMutexName(const std::string& modulePath) {
    return ExecutableFileName(modulePath) +
           "-- Mutex identifier Brightmoor function CheckForSingleInstance()";
}

std::string HelpDocumentPath(const std::string& modulePath) {
    return ExecutableFolder(modulePath) + "Help\\Larkspur.htm";
}

int HelpSwitchCount(const std::vector<std::string>& parameters) {
    int count = 0;
    for (const auto& p : parameters) count += p == "/?";
    return count;
}
