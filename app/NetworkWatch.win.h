#pragma once
// Hears the system tell of changes of the machine's network interfaces and addresses, and posts
// a message to a window for each. The system calls from a thread of its own, so nothing else is
// done there. The helper library is bound from the system folder when the first watch starts.

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

struct TIpHelperEntryPoints {
    decltype(&NotifyIpInterfaceChange) NotifyIpInterfaceChange = nullptr;
    decltype(&CancelMibChangeNotify2) CancelMibChangeNotify2 = nullptr;
};

// The entry points of the system's iphlpapi.dll; empty before Vista, where there is no watch.
const TIpHelperEntryPoints& IpHelper();

class TNetworkWatch {
public:
    // Starts the watch: each change posts message to window. Without the entry points, or when
    // the system refuses, nothing is watched.
    TNetworkWatch(HWND window, UINT message, const TIpHelperEntryPoints& entryPoints = IpHelper());
    // Ends the watch; the system lets a call that is under way end first.
    ~TNetworkWatch();
    TNetworkWatch(const TNetworkWatch&) = delete;
    TNetworkWatch& operator=(const TNetworkWatch&) = delete;

    bool Watching() const { return Handle != nullptr; }

private:
    static VOID NETIOAPI_API_ Changed(PVOID context, PMIB_IPINTERFACE_ROW row,
                                      MIB_NOTIFICATION_TYPE type);

    TIpHelperEntryPoints EntryPoints;
    HWND Window;
    UINT Message;
    HANDLE Handle = nullptr;
};
