#pragma once
// The test-control side of the stand-in remote-access library: the tests script the active
// connections and the phone book and read how often each entry point was called.

#include <windows.h>

struct RasFakeConnection {
    const char* EntryName;
    DWORD State;
};

// Replaces the active connections; connection i gets the handle (i + 1) * 16.
typedef void (*RasFakeSetConnectionsProc)(const RasFakeConnection* connections, DWORD count);
// Replaces the phone-book entries.
typedef void (*RasFakeSetEntriesProc)(const char* const* names, DWORD count);
// Clears the script and the call counts.
typedef void (*RasFakeResetProc)();
// How often the named entry point has been called since the last reset.
typedef LONG (*RasFakeCallsProc)(const char* function);
