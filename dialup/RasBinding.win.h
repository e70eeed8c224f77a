#pragma once
// Run-time binding of the remote-access library, which may be missing: the program never links
// to it. The entry points are typed by the SDK's own prototypes, so a mismatch does not compile.

#include <windows.h>
#include <ras.h>

#include <memory>
#include <string>

#include "dialup/RasApi.h"
#include "framework/Handles.win.h"

struct TRasEntryPoints {
    decltype(&RasDialA) RasDial = nullptr;
    decltype(&RasEnumConnectionsA) RasEnumConnections = nullptr;
    decltype(&RasEnumEntriesA) RasEnumEntries = nullptr;
    decltype(&RasGetConnectStatusA) RasGetConnectStatus = nullptr;
    decltype(&RasGetErrorStringA) RasGetErrorString = nullptr;
    decltype(&RasHangUpA) RasHangUp = nullptr;
    decltype(&RasGetEntryDialParamsA) RasGetEntryDialParams = nullptr;
};

class TRasBinding {
public:
    // Loads the library of this file name from the system folder, never from the program's
    // folder or the current one. The binding is made once: a second Bind or BindFile, after
    // success or failure, does nothing. No system dialog appears when the file is missing.
    // Names that do not resolve stay null.
    void Bind(const char* fileName);
    // Binds the library at this full path instead: a stand-in for the system's.
    void BindFile(const std::string& path);
    // Releases the library; the entry points are gone afterwards. Nothing may still be using
    // them (stop the poller first).
    void Unbind();
    bool Available() const { return FModule != nullptr; }
    const TRasEntryPoints& EntryPoints() const { return FEntryPoints; }
    // The component's table: empty entries when the library or the entry point is missing.
    TRasApi Api() const;

private:
    template <class Load>
    void BindModule(Load load);

    bool FTried = false;
    TModule FModule;
    TRasEntryPoints FEntryPoints;
};

// The process-wide binding of "RASAPI32.DLL".
extern TRasBinding RasBinding;

// At start-up, before the poller is created.
void BindRasLibrary();
// At program end, after the poller has been stopped.
void UnbindRasLibrary();
bool RasAvailable();
