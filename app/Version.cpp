#include "app/Version.h"

std::string VersionText() {
    return "Version 1.0 (Build " + std::to_string(BuildNumber) + ")";
}
