#include "app/SingleInstance.win.h"

#include "app/StartupNames.h"

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string TSingleInstance::SingleInstanceName() { return SingleInstanceMutexName(ModulePath()); }

TSingleInstance::TSingleInstance(const std::string& name, const std::function<void()>& looked) {
    SetLastError(ERROR_SUCCESS);
    FMutex = CreateMutexA(nullptr, FALSE, name.c_str());
    // A mutex that cannot be made at all keeps nobody from running, as before there was one.
    FFirst = GetLastError() != ERROR_ALREADY_EXISTS;
    if (looked) looked();
}

TSingleInstance::~TSingleInstance() {
    if (FMutex) CloseHandle(FMutex);
}
