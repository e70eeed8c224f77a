#pragma once
// The settings as the program keeps them: in the current user's registry, the password in the
// user's Credential Manager, with the default mail program from the "mailto" handler and file
// tests on the local file system.

#include <functional>
#include <memory>
#include <string>

#include "settings/AppProperties.h"

// The program's settings key below HKEY_CURRENT_USER.
extern const char* const SettingsKeyPath;

// Loads the settings from keyPath below HKEY_CURRENT_USER; dialUpAvailable gives the default of
// "Use Dial-up Networking".
std::unique_ptr<TAppProperties> CreateAppProperties(std::function<bool()> dialUpAvailable,
                                                    const std::string& keyPath = SettingsKeyPath);
