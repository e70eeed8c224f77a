#pragma once
// Scripts a stand-in remote-access library that the process has loaded (see tests/tools/rasapi32).

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "dialup/RasBinding.win.h"
#include "tests/tools/rasapi32/RasFakeControl.h"

class RasFake {
public:
    // Finds the stand-in among the loaded libraries; Loaded() is false when the library of that
    // name is another (Wine's own, without rasapi32=n).
    explicit RasFake(const char* moduleName) : Module(GetModuleHandleA(moduleName)) {
        if (Module && !GetProcAddress(Module, "RasFakeReset")) Module = nullptr;
        if (Module) Reset();
    }

    bool Loaded() const { return Module != nullptr; }
    void Reset() { Proc<RasFakeResetProc>("RasFakeReset")(); }
    void SetConnections(std::initializer_list<RasFakeConnection> connections) {
        SetConnections(std::vector<RasFakeConnection>(connections));
    }
    void SetConnections(const std::vector<RasFakeConnection>& connections) {
        Proc<RasFakeSetConnectionsProc>("RasFakeSetConnections")(
            connections.data(), static_cast<DWORD>(connections.size()));
    }
    void SetEntries(const std::vector<const char*>& names) {
        Proc<RasFakeSetEntriesProc>("RasFakeSetEntries")(names.data(),
                                                         static_cast<DWORD>(names.size()));
    }
    LONG Calls(const char* function) { return Proc<RasFakeCallsProc>("RasFakeCalls")(function); }

private:
    template <typename P>
    P Proc(const char* name) {
        return reinterpret_cast<P>(reinterpret_cast<void (*)()>(GetProcAddress(Module, name)));
    }

    HMODULE Module;
};

// The platform's connection states the tests use.
constexpr DWORD RasStateConnected = 0x2000;
constexpr DWORD RasStateAuthenticate = 5;

// The full path of a stand-in library; they lie beside the test executable.
inline std::string StandInLibrary(const char* fileName) {
    char exe[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, length);
    return path.substr(0, path.find_last_of('\\') + 1) + fileName;
}

// The process-wide binding, bound to the stand-in RASAPI32.DLL on first use.
inline const TRasBinding& BoundRasLibrary() {
    RasBinding.BindFile(StandInLibrary("RASAPI32.DLL"));
    return RasBinding;
}
