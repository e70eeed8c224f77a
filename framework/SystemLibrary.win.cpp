#include "framework/SystemLibrary.win.h"

#include <string>

namespace {

// Both are found by name: older systems lack them, and the program must still start there.
template <class Function>
Function Kernel32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

}  // namespace

std::string SystemFolder() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

HMODULE LoadSystemLibrary(const char* fileName) {
    // The search flags came with AddDllDirectory; without it LoadLibraryExA refuses them.
    if (Kernel32<void (*)()>("AddDllDirectory"))
        return LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::string folder = SystemFolder();
    return folder.empty() ? nullptr : LoadLibraryA((folder + "\\" + fileName).c_str());
}

void RemoveCurrentFolderFromLibrarySearch() {
    using SetDllDirectoryProc = BOOL(WINAPI*)(LPCSTR);
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    if (auto setDllDirectory = Kernel32<SetDllDirectoryProc>("SetDllDirectoryA"))
        setDllDirectory("");
    // Where the platform can, libraries loaded by bare name come from the system folder alone,
    // which leaves out the program's folder as well.
    if (auto setDefault = Kernel32<SetDefaultDllDirectoriesProc>("SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
