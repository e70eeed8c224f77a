#pragma once
// The program's settings key of the current user, as a test leaves it for the program: emptied
// when the test begins, written value by value, and deleted when the test ends.

#include <windows.h>

#include <string>

class SettingsKey {
public:
    SettingsKey();
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    void String(const std::string& section, const std::string& name, const std::string& value);
    void Dword(const std::string& section, const std::string& name, DWORD value);
    // The string the program stored, or "(none)".
    static std::string StoredString(const std::string& section, const std::string& name);

    // A complete account with every check of its own switched off: dial-up networking (with no
    // connection up, so no check and no prompt) unless direct, and no periodic check.
    void Account(const std::string& server, const std::string& user, const std::string& password,
                 bool direct);
};
