#pragma once
// Loading libraries of the system so that a file of the same name planted in the program's
// folder or the current folder (a download folder, say) is never taken instead, and binding
// their functions.

#include <windows.h>

#include <string>
#include <type_traits>

// The system folder, without a trailing backslash; empty when the platform does not tell.
std::string SystemFolder();

// Loads the library of this file name from the system folder only: with the search limited to
// that folder where the platform supports it, else by the folder's full path. Null when it is
// not there or does not load; no box tells the user about a missing file.
HMODULE LoadSystemLibrary(const char* fileName);

// Takes the current folder out of the search for every library loaded from now on. Early in
// start-up, before anything can load a library by its bare name. Does nothing on a platform
// that cannot do it.
void RemoveCurrentFolderFromLibrarySearch();

// Binds the function of this name in a loaded library (none: null) to an entry point declared
// with the SDK's own prototype, decltype(&Function): the 32-bit calling convention is then the
// header's and cannot drift. False, and a null entry point, when the library lacks it.
template <class Function>
bool BindEntryPoint(HMODULE module, const char* name, Function& entryPoint) {
    static_assert(std::is_function_v<std::remove_pointer_t<Function>>,
                  "an entry point is a function pointer typed decltype(&Function)");
    // Through the generic function type, which the compiler accepts as a cast to any other.
    entryPoint =
        module
            ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
            : nullptr;
    return entryPoint != nullptr;
}

// A function of a system library that only some action needs: the library is loaded from the
// system folder when the action first runs, not at start, and stays loaded. Keep the result
// (a function-local static) so the library is looked for once. Null when it is missing.
//   static const auto playSound = SystemEntryPoint<decltype(&PlaySoundA)>("winmm.dll",
//   "PlaySoundA");
template <class Function>
Function SystemEntryPoint(const char* library, const char* name) {
    Function entryPoint = nullptr;
    BindEntryPoint(LoadSystemLibrary(library), name, entryPoint);
    return entryPoint;
}
