#include "framework/SystemLibrary.win.h"

#include <string>

namespace {

// Found by name: older systems lack them, and the program must still start there.
template <class Function>
Function Kernel32(const char* name) {
    Function entryPoint = nullptr;
    BindEntryPoint(GetModuleHandleA("kernel32.dll"), name, entryPoint);
    return entryPoint;
}

}  // namespace

std::string SystemFolder() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

HMODULE LoadSystemLibrary(const char* fileName) {
    const UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS);
    HMODULE module = nullptr;
    // The search flags came with AddDllDirectory; without it LoadLibraryExA refuses them.
    if (Kernel32<decltype(&AddDllDirectory)>("AddDllDirectory")) {
        module = LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    } else {
        const std::string folder = SystemFolder();
        if (!folder.empty()) module = LoadLibraryA((folder + "\\" + fileName).c_str());
    }
    SetErrorMode(previous);
    return module;
}

void RemoveCurrentFolderFromLibrarySearch() {
    if (auto setDllDirectory = Kernel32<decltype(&SetDllDirectoryA)>("SetDllDirectoryA"))
        setDllDirectory("");
    // Where the platform can, libraries loaded by bare name come from the system folder alone,
    // which leaves out the program's folder as well.
    if (auto setDefault = Kernel32<decltype(&SetDefaultDllDirectories)>("SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
