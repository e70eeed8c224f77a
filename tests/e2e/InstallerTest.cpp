// The installer as a Windows user meets it, run silently: the files, the shortcuts and the
// entry under Add or Remove Programs appear; the installed program starts; the uninstaller ends
// it and takes everything away but the user's settings, unless asked to remove those too.

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "tests/e2e/Program.h"
#include "tests/win/RawRegistry.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Larkspur";
const char kSettingsKey[] = "Software\\Brightmoor\\Larkspur";
const char kGeneralSection[] = "Software\\Brightmoor\\Larkspur\\General";

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string InstallFolder() { return Folder(CSIDL_PROGRAM_FILES) + "\\Larkspur"; }
std::string MenuShortcut() { return Folder(CSIDL_COMMON_PROGRAMS) + "\\Larkspur.lnk"; }
std::string LogonShortcut() { return Folder(CSIDL_STARTUP) + "\\Larkspur.lnk"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

// The program a shortcut starts.
std::string ShortcutTarget(const std::string& shortcut) {
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

std::string Text(const RawValue& value) { return value.data.substr(0, value.data.find('\0')); }

// Runs a setup program silently and waits for it; its exit code.
DWORD RunSilently(const std::string& exe, const std::string& parameters) {
    RunningProgram setup(exe, parameters);
    DWORD code = 99;
    if (!setup.Started() || !setup.WaitForExit(60000, &code)) return 99;
    return code;
}

// Runs the uninstaller silently and waits until it is done. Started by the user it hands its
// work to a copy of itself in the temporary folder and returns at once; the test makes that copy
// itself and waits for it.
DWORD Uninstall(const std::string& parameters) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string copy = std::string(temp) + "larkspur-uninstall.exe";
    if (!CopyFileA((InstallFolder() + "\\Uninstall.exe").c_str(), copy.c_str(), FALSE)) return 99;
    const DWORD code = RunSilently(copy, parameters + " _?=" + InstallFolder());
    DeleteFileA(copy.c_str());
    return code;
}

// Every test starts on a machine without Larkspur, whatever an earlier run left, and leaves it
// without Larkspur.
class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        RemoveEverything();
    }
    void TearDown() override {
        RemoveEverything();
        CoUninitialize();
    }
    static void RemoveEverything() {
        // The list of folders to delete ends with two null characters.
        const std::string folder = InstallFolder() + '\0';
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = folder.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        SHFileOperationA(&operation);
        DeleteFileA(MenuShortcut().c_str());
        DeleteFileA(LogonShortcut().c_str());
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
    }
    const std::string Setup = BinFolder() + "LarkspurSetup.exe";
};

}  // namespace

TEST_F(Installer, InstallsStartsAndUninstallsKeepingTheSettings) {
    WriteRaw(HKEY_CURRENT_USER, kGeneralSection, "Repeat Mail Interval", REG_DWORD, DwordData(7));
    ASSERT_EQ(RunSilently(Setup, "/S"), 0u);

    const std::string folder = InstallFolder();
    const std::string exe = folder + "\\Larkspur.exe";
    EXPECT_EQ(FileSize(exe), FileSize(BinFolder() + "Larkspur.exe"));
    EXPECT_EQ(FileSize(folder + "\\Help\\Larkspur.htm"),
              FileSize(BinFolder() + "Help\\Larkspur.htm"));
    EXPECT_TRUE(Exists(folder + "\\Uninstall.exe"));
    EXPECT_EQ(ShortcutTarget(MenuShortcut()), exe);
    EXPECT_EQ(ShortcutTarget(LogonShortcut()), exe) << "the logon option is ticked by default";

    EXPECT_EQ(Text(ReadRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName")), "Larkspur");
    EXPECT_EQ(Text(ReadRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion")),
              "1.0 (Build 104)");
    EXPECT_EQ(Text(ReadRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher")), "Brightmoor");
    EXPECT_EQ(Text(ReadRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString")),
              "\"" + folder + "\\Uninstall.exe\"");
    EXPECT_EQ(Text(ReadRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString")),
              "\"" + folder + "\\Uninstall.exe\" /S");

    RunningProgram program(exe);
    ASSERT_NE(program.WaitForWindow("Brightmoor Larkspur", 10000), nullptr);
    const DWORD code = Uninstall("/S");
    ASSERT_TRUE(program.WaitForExit(0))
        << "WM_CLOSE to the hidden window did not end the running program";
    ASSERT_EQ(code, 0u);
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Exists(MenuShortcut()));
    EXPECT_FALSE(Exists(LogonShortcut()));
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, kGeneralSection, "Repeat Mail Interval").data,
              DwordData(7));
}

TEST_F(Installer, UninstallRemovesTheSettingsWhenAsked) {
    WriteRaw(HKEY_CURRENT_USER, kGeneralSection, "Repeat Mail Interval", REG_DWORD, DwordData(7));
    // Larkspur's secrets go with the settings; another program's stay.
    const char* const ours[] = {"Larkspur:Mailbox", "Larkspur:Another mailbox"};
    for (const char* target : ours) WriteCredentialForTest(target, "secret");
    WriteCredentialForTest("Larkspurious:Mailbox", "theirs");
    ASSERT_EQ(RunSilently(Setup, "/S"), 0u);
    EXPECT_EQ(Uninstall("/S /RemoveSettings"), 0u);
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kSettingsKey));
    for (const char* target : ours) EXPECT_EQ(StoredCredential(target), "(none)") << target;
    EXPECT_EQ(StoredCredential("Larkspurious:Mailbox"), "theirs");
    DeleteCredentialForTest("Larkspurious:Mailbox");
}
