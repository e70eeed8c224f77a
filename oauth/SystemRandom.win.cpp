#include "oauth/SystemRandom.win.h"

#include <windows.h>
#include <ntsecapi.h>

#include "framework/SystemLibrary.win.h"

bool SystemRandom(std::uint8_t* buffer, std::size_t size) {
    // RtlGenRandom: present from Windows XP on, unlike BCryptGenRandom.
    static const auto generate = [] {
        HMODULE advapi = LoadSystemLibrary("advapi32.dll");
        return advapi ? reinterpret_cast<decltype(&SystemFunction036)>(
                            reinterpret_cast<void (*)()>(GetProcAddress(advapi, "SystemFunction036")))
                      : nullptr;
    }();
    return generate && size <= 0xFFFFFFFFu && generate(buffer, static_cast<ULONG>(size));
}
