#include "tests/e2e/SettingsKey.h"

#include <shlwapi.h>

namespace {

const char kSettingsKey[] = "Software\\Brightmoor\\Larkspur";

std::string Section(const std::string& section) {
    return std::string(kSettingsKey) + "\\" + section;
}

void Write(const std::string& section, const std::string& name, DWORD type, const void* data,
           DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, Section(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

}  // namespace

SettingsKey::SettingsKey() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

SettingsKey::~SettingsKey() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

void SettingsKey::String(const std::string& section, const std::string& name,
                         const std::string& value) {
    Write(section, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SettingsKey::Dword(const std::string& section, const std::string& name, DWORD value) {
    Write(section, name, REG_DWORD, &value, sizeof value);
}

std::string SettingsKey::StoredString(const std::string& section, const std::string& name) {
    char text[512] = {};
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, Section(section).c_str(), name.c_str(), RRF_RT_REG_SZ,
                     nullptr, text, &size) != ERROR_SUCCESS)
        return "(none)";
    return text;
}

void SettingsKey::Account(const std::string& server, const std::string& user,
                          const std::string& password, bool direct) {
    String("Mailbox", "Pop3 Server Address", server);
    String("Mailbox", "Login Username", user);
    String("Mailbox", "Password", password);
    Dword("General", "Use Dial-up Networking", direct ? 0 : 1);
    Dword("General", "Repeat Mail Check", 0);
}
