// A remote-access library planted beside the program or in its current folder, as a download
// folder may hold one, is never loaded.

#include "tests/e2e/Program.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

namespace {

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

std::string Lower(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The full paths of the libraries loaded in a process.
std::vector<std::string> LoadedLibraries(DWORD processId) {
    std::vector<std::string> paths;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return paths;
    MODULEENTRY32 module{sizeof module};
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        paths.push_back(module.szExePath);
    CloseHandle(snapshot);
    return paths;
}

// Makes Wine, as Windows does, take a RASAPI32.DLL that its search finds before its own, for
// the programs named Larkspur.exe started during the object's life. (Wine gives every program
// the host's WINEDLLOVERRIDES, so the setting goes through the registry.)
class NativeRasapi32First {
public:
    NativeRasapi32First() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &Key,
                        nullptr);
        RegSetValueExA(Key, "rasapi32", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
    }
    ~NativeRasapi32First() {
        RegDeleteValueA(Key, "rasapi32");
        RegCloseKey(Key);
    }

private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Larkspur.exe\\DllOverrides";
    HKEY Key = nullptr;
};

}  // namespace

TEST(LibraryPlanting, ARasapi32BesideTheProgramOrInTheCurrentFolderIsNeverLoaded) {
    const std::string programFolder = TempFolder() + "larkspur-e2e-download";
    const std::string currentFolder = TempFolder() + "larkspur-e2e-current";
    const std::string standIn = BinFolder() + "wintests\\RASAPI32.DLL";
    CreateDirectoryA(programFolder.c_str(), nullptr);
    CreateDirectoryA(currentFolder.c_str(), nullptr);
    const std::string exe = programFolder + "\\Larkspur.exe";
    ASSERT_TRUE(CopyFileA((BinFolder() + "Larkspur.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(standIn.c_str(), (programFolder + "\\RASAPI32.DLL").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(standIn.c_str(), (currentFolder + "\\RASAPI32.DLL").c_str(), FALSE));
    {
        NativeRasapi32First nativeFirst;

        RunningProgram program(exe, "", currentFolder);
        ASSERT_NE(program.WaitForWindow("MainForm", 10000), nullptr) << "start-up did not finish";
        const std::vector<std::string> loaded = LoadedLibraries(program.Id());
        ASSERT_GT(loaded.size(), 1u);
        for (const std::string& path : loaded) {
            if (Lower(path) == Lower(exe)) continue;
            EXPECT_NE(Lower(path).rfind(Lower(programFolder), 0), 0u) << path;
            EXPECT_NE(Lower(path).rfind(Lower(currentFolder), 0), 0u) << path;
        }
    }
    DeleteFileA((currentFolder + "\\RASAPI32.DLL").c_str());
    DeleteFileA((programFolder + "\\RASAPI32.DLL").c_str());
    DeleteFileA(exe.c_str());
}
