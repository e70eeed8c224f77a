// The first start of Larkspur for a Windows user: its settings key appears, and the one value
// that start-up writes is the mail program it found.

#include "tests/e2e/Program.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

namespace {

const char kSettingsKey[] = "Software\\Brightmoor\\Larkspur";

std::vector<std::string> SubKeys(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(Settings, FirstStartCreatesTheKeyWritesOnlyTheMailProgramAndAsksForTheAccount) {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    {
        RunningProgram program(BinFolder() + "Larkspur.exe");
        ASSERT_NE(program.WaitForWindow("MainForm", 10000), nullptr);
        // Dial-up mode on Wine: no check, the settings timer offers the prompt.
        HWND prompt = program.WaitForWindow("Information Required", 10000);
        ASSERT_NE(prompt, nullptr);
        EXPECT_TRUE(IsWindowVisible(prompt));
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(key), std::vector<std::string>{"Notification"});
    EXPECT_TRUE(ValueNames(key).empty());
    HKEY notification = nullptr;
    ASSERT_EQ(RegOpenKeyExA(key, "Notification", 0, KEY_READ, &notification), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(notification), std::vector<std::string>{"Mail App Path"});
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(notification, "Mail App Path", nullptr, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    RegCloseKey(notification);
    RegCloseKey(key);
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}
