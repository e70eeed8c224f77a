#pragma once

#include <string>

// The full path of the running executable, as the platform reports it.
std::string ModulePath();
// True when no other process holds this executable's mutex; this process then creates it and
// holds it until it ends.
bool CheckForSingleInstance();
