#include "app/SingleInstance.win.h"

#include <windows.h>

#include "app/StartupNames.h"

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool CheckForSingleInstance() {
    const std::string name = SingleInstanceMutexName(ModulePath());
    // Either handle stays open until the process ends; the platform then releases it.
    if (OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str())) return false;
    CreateMutexA(nullptr, FALSE, name.c_str());
    return true;
}
