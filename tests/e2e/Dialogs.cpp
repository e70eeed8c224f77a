#include "tests/e2e/Dialogs.h"

#include "resources/resource.h"
#include "tests/e2e/Desktop.h"

#include <gtest/gtest.h>

const char kMail[] = "Mail";
const char kError[] = "Mail Server Error";
const char kProperties[] = "Properties";

const char kMailboxKey[] = "Software\\Brightmoor\\Larkspur\\Mailbox";

namespace {

const char kNotificationKey[] = "Software\\Brightmoor\\Larkspur\\Notification";

bool NothingToPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && !NothingToPaint(child)) return false;
    return true;
}

}  // namespace

std::string Larkspur() {
    return BinFolder() + "Larkspur.exe";
}

std::vector<HWND> Shown(RunningProgram& program, const std::string& caption) {
    std::vector<HWND> shown;
    for (HWND w : program.TopLevelWindows())
        if (IsWindowVisible(w) && WindowTextOf(w) == caption) shown.push_back(w);
    return shown;
}

HWND WaitShown(RunningProgram& program, const std::string& caption) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const auto shown = Shown(program, caption);
            found = shown.empty() ? nullptr : shown.front();
            return found != nullptr;
        },
        kWait);
    return found;
}

bool WaitGone(RunningProgram& program, const std::string& caption) {
    return WaitUntil([&] { return Shown(program, caption).empty(); }, kWait);
}

HWND Control(HWND dialog, int id) {
    if (HWND control = GetDlgItem(dialog, id)) return control;
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (HWND control = GetDlgItem(page, id)) return control;
    return nullptr;
}

void Click(HWND dialog, int id) {
    PostMessageA(Control(dialog, id), BM_CLICK, 0, 0);
}

HWND PropertiesFromThePrompt(RunningProgram& program) {
    HWND prompt = WaitShown(program, "Information Required");
    if (!prompt) return nullptr;
    Click(prompt, IDOK);
    return WaitShown(program, kProperties);
}

std::string ReadAndCloseCountWindow(RunningProgram& program) {
    HWND mail = WaitShown(program, kMail);
    if (!mail) return "";
    const std::string text = WindowTextOf(GetDlgItem(mail, IDC_NUMMESSAGESLABEL));
    Click(mail, IDOK);
    EXPECT_TRUE(WaitGone(program, kMail));
    return text;
}

void RoundTrip(HWND window) {
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kWait, nullptr);
}

void Repainted(HWND window) {
    RoundTrip(window);
    EXPECT_TRUE(WaitUntil([&] { return NothingToPaint(window); }, kWait));
}

bool SaveScreenshot(HWND window, const std::string& name) {
    RECT area;
    return GetWindowRect(window, &area) && Screenshot(name, &area);
}

void SeedAccount(const std::string& user, const std::string& password) {
    SeedSettings(user, password, false);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kNotificationKey, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const DWORD on = 1;
    RegSetValueExA(key, "Show Window", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
    RegCloseKey(key);
}

void SeedMailboxString(const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMailboxKey, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

std::string StoredMailboxValue(const char* name) {
    char data[256] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMailboxKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "(no key)";
    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<const DWORD*>(data));
    return data;
}
