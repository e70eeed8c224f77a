#include "app/NetworkWatch.win.h"

#include "framework/SystemLibrary.win.h"

const TIpHelperEntryPoints& IpHelper() {
    // Stays loaded for the run, once a direct connection has wanted it.
    static const TIpHelperEntryPoints entryPoints = [] {
        TIpHelperEntryPoints e;
        if (HMODULE library = LoadSystemLibrary("iphlpapi.dll")) {
            e.NotifyIpInterfaceChange = reinterpret_cast<decltype(e.NotifyIpInterfaceChange)>(
                reinterpret_cast<void (*)()>(GetProcAddress(library, "NotifyIpInterfaceChange")));
            e.CancelMibChangeNotify2 = reinterpret_cast<decltype(e.CancelMibChangeNotify2)>(
                reinterpret_cast<void (*)()>(GetProcAddress(library, "CancelMibChangeNotify2")));
        }
        return e;
    }();
    return entryPoints;
}

TNetworkWatch::TNetworkWatch(HWND window, UINT message, const TIpHelperEntryPoints& entryPoints)
    : EntryPoints(entryPoints), Window(window), Message(message) {
    if (!EntryPoints.NotifyIpInterfaceChange || !EntryPoints.CancelMibChangeNotify2) return;
    HANDLE handle = nullptr;
    // The object is the context: the system calls until the cancel in the destructor returns.
    if (EntryPoints.NotifyIpInterfaceChange(AF_UNSPEC, Changed, this, FALSE, &handle) == NO_ERROR)
        Handle = handle;
}

TNetworkWatch::~TNetworkWatch() {
    if (Handle) EntryPoints.CancelMibChangeNotify2(Handle);
}

VOID NETIOAPI_API_ TNetworkWatch::Changed(PVOID context, PMIB_IPINTERFACE_ROW,
                                          MIB_NOTIFICATION_TYPE) {
    const auto* watch = static_cast<const TNetworkWatch*>(context);
    PostMessageA(watch->Window, watch->Message, 0, 0);
}
