#pragma once
// What the calling process holds of the system: kernel handles, GDI and USER objects, its own
// windows and its private bytes. Shared by the fault matrix and the soak benchmark.

#include <windows.h>
#include <psapi.h>

#include <vector>

struct ProcessResources {
    DWORD Handles = 0;
    // As the platform counts them; Wine counts neither and answers 0.
    DWORD GdiObjects = 0;
    DWORD UserObjects = 0;
    // The process's windows, message-only ones included, counted here (also under Wine).
    DWORD Windows = 0;
    SIZE_T PrivateBytes = 0;
};

namespace process_resources {

// The system's table of open handles, as NtQuerySystemInformation gives it with the class
// SystemExtendedHandleInformation.
struct HandleEntry {
    PVOID Object;
    ULONG_PTR UniqueProcessId;
    ULONG_PTR HandleValue;
    ULONG GrantedAccess;
    USHORT CreatorBackTraceIndex;
    USHORT ObjectTypeIndex;
    ULONG HandleAttributes;
    ULONG Reserved;
};
struct HandleTable {
    ULONG_PTR NumberOfHandles;
    ULONG_PTR Reserved;
    HandleEntry Handles[1];
};

// Wine answers 0 to GetProcessHandleCount; the system's handle table lists the handles there too.
inline DWORD HandlesInSystemTable() {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    constexpr ULONG kExtendedHandleInformation = 64;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    LONG status;
    while ((status = query(kExtendedHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &length)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < table->NumberOfHandles; ++i)
        if (table->Handles[i].UniqueProcessId == GetCurrentProcessId()) ++count;
    return count;
}

inline BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, &CountOwnWindow, count);
    }
    return TRUE;
}

inline DWORD OwnWindows() {
    DWORD count = 0;
    EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        CountOwnWindow(w, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace process_resources

inline ProcessResources CurrentProcessResources() {
    ProcessResources r;
    HANDLE self = GetCurrentProcess();
    if (!GetProcessHandleCount(self, &r.Handles) || r.Handles == 0)
        r.Handles = process_resources::HandlesInSystemTable();
    r.GdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
    r.UserObjects = GetGuiResources(self, GR_USEROBJECTS);
    r.Windows = process_resources::OwnWindows();
    PROCESS_MEMORY_COUNTERS memory{};
    // The commit charge, which is the private bytes (Wine leaves PrivateUsage empty).
    if (GetProcessMemoryInfo(self, &memory, sizeof memory)) r.PrivateBytes = memory.PagefileUsage;
    return r;
}
