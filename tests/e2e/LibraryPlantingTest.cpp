// A library planted beside the program or in its current folder, as a download folder may hold
// one, is never loaded: not the remote-access library it loads itself, and not one it imports.

#include "tests/e2e/Program.h"

#include <cstring>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

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

// The libraries an executable file imports, in upper case, read from its import directory.
std::set<std::string> ImportedLibraries(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), {});
    const auto at = [&](std::size_t offset, auto value) {
        if (offset + sizeof value <= image.size())
            std::memcpy(&value, &image[offset], sizeof value);
        return value;
    };
    std::set<std::string> names;
    const auto pe = at(offsetof(IMAGE_DOS_HEADER, e_lfanew), LONG(0));
    const auto fileHeader = pe + 4;
    const auto sections = at(fileHeader + offsetof(IMAGE_FILE_HEADER, NumberOfSections), WORD(0));
    const auto optionalSize =
        at(fileHeader + offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader), WORD(0));
    const auto optional = fileHeader + sizeof(IMAGE_FILE_HEADER);
    const bool pe32plus = at(optional, WORD(0)) == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const auto importEntry = optional +
                             (pe32plus ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                       : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory)) +
                             IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY);
    const auto importRva = at(importEntry, DWORD(0));
    // From an address in the loaded image to the offset in the file, through the section table.
    const auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < sections; ++i) {
            const auto section = at(optional + optionalSize + i * sizeof(IMAGE_SECTION_HEADER),
                                    IMAGE_SECTION_HEADER{});
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress + section.SizeOfRawData)
                return rva - section.VirtualAddress + section.PointerToRawData;
        }
        return image.size();
    };
    for (std::size_t entry = offsetOf(importRva);; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto descriptor = at(entry, IMAGE_IMPORT_DESCRIPTOR{});
        if (descriptor.Name == 0) break;
        std::string name = image.c_str() + std::min(offsetOf(descriptor.Name), image.size());
        CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
        names.insert(name);
    }
    return names;
}

}  // namespace

// Windows takes these from its own folder whatever lies beside the program (its known
// libraries), and every start needs them. The rest is bound from the system folder when the
// action that needs it first runs: an idle program maps no more than it uses.
TEST(LibraryPlanting, TheProgramImportsOnlySystemLibrariesThatEveryStartNeeds) {
    const std::set<std::string> known = {"ADVAPI32.DLL", "GDI32.DLL",  "KERNEL32.DLL",
                                         "MSVCRT.DLL",   "USER32.DLL", "WS2_32.DLL"};
    const std::set<std::string> imported = ImportedLibraries(BinFolder() + "Larkspur.exe");
    ASSERT_TRUE(imported.count("KERNEL32.DLL")) << "the import directory was not read";
    for (const std::string& name : imported)
        EXPECT_TRUE(known.count(name)) << name << " is loaded at every start";
}

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
