#include "settings/AppProperties.win.h"

#include "framework/Credentials.win.h"
#include "framework/Registry.win.h"
#include "mailprogram/MailProgram.win.h"

const char* const SettingsKeyPath = "Software\\Brightmoor\\Larkspur";

std::unique_ptr<TAppProperties> CreateAppProperties(std::function<bool()> dialUpAvailable,
                                                    const std::string& keyPath) {
    // Reading and writing values and creating sections is all the settings need of their key.
    return std::make_unique<TAppProperties>(
        std::make_unique<TRegistry>(HKEY_CURRENT_USER, KEY_READ | KEY_WRITE), keyPath,
        TSettingsEnvironment{std::move(dialUpAvailable), FindDefaultMailProgram,
                             MailProgramExists, ReadCredential, WriteCredential,
                             CopyCredential, DeleteCredential});
}
