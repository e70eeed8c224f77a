// A stand-in for the platform's remote-access library, built twice: as RASAPI32.DLL with all
// seven entry points the program binds, and as RASPARTIAL.DLL without RasGetConnectStatusA and
// RasHangUpA. The entry points check the record versions the way the platform does and fill in
// what fits on "buffer too small", as the program expects.

#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Lock.h"
#include "tests/tools/rasapi32/RasFakeControl.h"

#define FAKE_EXPORT extern "C" __declspec(dllexport)
#ifdef RAS_FAKE_PARTIAL
#define OPTIONAL_EXPORT extern "C"
#else
#define OPTIONAL_EXPORT FAKE_EXPORT
#endif

namespace {

// The platform's record versions, written out independently of the program's definitions and
// packed like the platform's header packs them.
#pragma pack(push, 4)
struct Conn400 {
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};
struct ConnStatus400 {
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};
struct EntryName400 {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
};
#pragma pack(pop)

struct Connection {
    std::string EntryName;
    DWORD State;
};

TLock Lock;
std::vector<Connection> Connections;
std::vector<std::string> Entries;
std::map<std::string, LONG> Calls;

void Count(const char* function) {
    std::lock_guard<TLock> lock(Lock);
    ++Calls[function];
}

HRASCONN HandleOf(size_t i) {
    return reinterpret_cast<HRASCONN>((i + 1) * 16);
}

void Copy(CHAR* target, size_t size, const std::string& text) {
    lstrcpynA(target, text.c_str(), static_cast<int>(size));
}

// Fills as many records as the buffer holds; 603 when some did not fit.
template <typename Record, typename Item, typename Fill>
DWORD Enumerate(Record* records, LPDWORD bytes, LPDWORD count, const std::vector<Item>& items,
                Fill fill) {
    if (!records || !bytes || !count) return ERROR_INVALID_PARAMETER;
    if (records->dwSize != sizeof(Record) || *bytes < sizeof(Record)) return ERROR_INVALID_SIZE;
    const size_t room = *bytes / sizeof(Record);
    for (size_t i = 0; i < items.size() && i < room; ++i) {
        records[i].dwSize = sizeof(Record);
        fill(records[i], items[i], i);
    }
    *count = static_cast<DWORD>(items.size());
    *bytes = static_cast<DWORD>(items.size() * sizeof(Record));
    return items.size() > room ? ERROR_BUFFER_TOO_SMALL : 0;
}

}  // namespace

FAKE_EXPORT DWORD WINAPI RasEnumConnectionsA(LPRASCONNA rasConn, LPDWORD bytes, LPDWORD count) {
    Count("RasEnumConnectionsA");
    std::lock_guard<TLock> lock(Lock);
    return Enumerate(reinterpret_cast<Conn400*>(rasConn), bytes, count, Connections,
                     [](Conn400& record, const Connection& connection, size_t i) {
                         record.hrasconn = HandleOf(i);
                         Copy(record.szEntryName, sizeof record.szEntryName, connection.EntryName);
                         Copy(record.szDeviceType, sizeof record.szDeviceType, "modem");
                         Copy(record.szDeviceName, sizeof record.szDeviceName, "Test Modem");
                     });
}

OPTIONAL_EXPORT DWORD WINAPI RasGetConnectStatusA(HRASCONN connection, LPRASCONNSTATUSA status) {
    Count("RasGetConnectStatusA");
    std::lock_guard<TLock> lock(Lock);
    auto* record = reinterpret_cast<ConnStatus400*>(status);
    if (!record || record->dwSize != sizeof(ConnStatus400)) return ERROR_INVALID_SIZE;
    for (size_t i = 0; i < Connections.size(); ++i) {
        if (HandleOf(i) != connection) continue;
        record->rasconnstate = static_cast<RASCONNSTATE>(Connections[i].State);
        record->dwError = 0;
        return 0;
    }
    return ERROR_INVALID_HANDLE;
}

FAKE_EXPORT DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR, LPRASENTRYNAMEA entries,
                                         LPDWORD bytes, LPDWORD count) {
    Count("RasEnumEntriesA");
    if (reserved) return ERROR_INVALID_PARAMETER;
    std::lock_guard<TLock> lock(Lock);
    return Enumerate(reinterpret_cast<EntryName400*>(entries), bytes, count, Entries,
                     [](EntryName400& record, const std::string& name, size_t) {
                         Copy(record.szEntryName, sizeof record.szEntryName, name);
                     });
}

OPTIONAL_EXPORT DWORD WINAPI RasHangUpA(HRASCONN) {
    Count("RasHangUpA");
    return 0;
}

FAKE_EXPORT DWORD WINAPI RasDialA(LPRASDIALEXTENSIONS, LPCSTR, LPRASDIALPARAMSA, DWORD, LPVOID,
                                  LPHRASCONN) {
    Count("RasDialA");
    return ERROR_CALL_NOT_IMPLEMENTED;
}

FAKE_EXPORT DWORD WINAPI RasGetErrorStringA(UINT, LPSTR, DWORD) {
    Count("RasGetErrorStringA");
    return ERROR_CALL_NOT_IMPLEMENTED;
}

FAKE_EXPORT DWORD WINAPI RasGetEntryDialParamsA(LPCSTR, LPRASDIALPARAMSA, LPBOOL) {
    Count("RasGetEntryDialParamsA");
    return ERROR_CALL_NOT_IMPLEMENTED;
}

FAKE_EXPORT void RasFakeSetConnections(const RasFakeConnection* connections, DWORD count) {
    std::lock_guard<TLock> lock(Lock);
    Connections.clear();
    for (DWORD i = 0; i < count; ++i)
        Connections.push_back({connections[i].EntryName, connections[i].State});
}

FAKE_EXPORT void RasFakeSetEntries(const char* const* names, DWORD count) {
    std::lock_guard<TLock> lock(Lock);
    Entries.assign(names, names + count);
}

FAKE_EXPORT void RasFakeReset() {
    std::lock_guard<TLock> lock(Lock);
    Connections.clear();
    Entries.clear();
    Calls.clear();
}

FAKE_EXPORT LONG RasFakeCalls(const char* function) {
    std::lock_guard<TLock> lock(Lock);
    const auto found = Calls.find(function);
    return found == Calls.end() ? 0 : found->second;
}
