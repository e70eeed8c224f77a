#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The full path of the running executable, as the platform reports it.
std::string ModulePath();

// This executable's claim to run alone: the named mutex, created or, when another copy made it
// first, opened. One creation decides, so copies started together cannot both be first. The
// claim holds until the object goes.
class TSingleInstance {
public:
    // Claims the mutex of that name. looked is the tests' seam: it runs once this copy has
    // looked for another one, before it goes on.
    explicit TSingleInstance(const std::string& name = SingleInstanceName(),
                             const std::function<void()>& looked = nullptr);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // No other copy of this executable held the mutex.
    bool First() const { return FFirst; }

    static std::string SingleInstanceName();

private:
    HANDLE FMutex = nullptr;
    bool FFirst = true;
};
