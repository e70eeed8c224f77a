#include "dialup/RasBinding.win.h"

#include <cstddef>

#include "framework/SystemLibrary.win.h"

using SdkConn = RASCONNA;
using SdkConnStatus = RASCONNSTATUSA;
using SdkEntryName = RASENTRYNAMEA;

// The component's records are the SDK's records cut after the fields the component reads.
static_assert(offsetof(RasConnRecord, hrasconn) == offsetof(RASCONNA, hrasconn), "RASCONN");
static_assert(offsetof(RasConnRecord, szEntryName) == offsetof(RASCONNA, szEntryName), "RASCONN");
static_assert(offsetof(RasConnRecord, szDeviceName) == offsetof(RASCONNA, szDeviceName), "RASCONN");
static_assert(sizeof(RasConnRecord::szDeviceName) == sizeof(SdkConn::szDeviceName), "RASCONN");
static_assert(offsetof(RasConnStatusRecord, rasconnstate) == offsetof(RASCONNSTATUSA, rasconnstate),
              "RASCONNSTATUS");
static_assert(offsetof(RasConnStatusRecord, szDeviceName) == offsetof(RASCONNSTATUSA, szDeviceName),
              "RASCONNSTATUS");
static_assert(sizeof(RasConnStatusRecord::szDeviceName) == sizeof(SdkConnStatus::szDeviceName),
              "RASCONNSTATUS");
static_assert(offsetof(RasEntryNameRecord, szEntryName) == offsetof(RASENTRYNAMEA, szEntryName),
              "RASENTRYNAME");
static_assert(sizeof(RasEntryNameRecord::szEntryName) == sizeof(SdkEntryName::szEntryName),
              "RASENTRYNAME");
static_assert(RasConnectedState == RASCS_Connected, "connected state");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(RasConnRecord) == 412, "the 412-byte RASCONN");
static_assert(sizeof(RasConnStatusRecord) == 160, "the 160-byte RASCONNSTATUS");
static_assert(sizeof(RasEntryNameRecord) == 264, "the 264-byte RASENTRYNAME");
#endif

TRasBinding RasBinding;

namespace {

// Restores the error mode that was in force before.
class ErrorModeScope {
public:
    explicit ErrorModeScope(UINT mode) : Previous(SetErrorMode(mode)) {}
    ~ErrorModeScope() { SetErrorMode(Previous); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT Previous;
};

}  // namespace

void TRasBinding::Bind(const char* fileName) {
    BindModule([fileName] { return LoadSystemLibrary(fileName); });
}

void TRasBinding::BindFile(const std::string& path) {
    BindModule([&path] { return LoadLibraryA(path.c_str()); });
}

template <class Load>
void TRasBinding::BindModule(Load load) {
    if (FTried) return;
    FTried = true;
    {
        ErrorModeScope quiet(SEM_NOOPENFILEERRORBOX);
        FModule.reset(load());
    }
    if (!FModule) return;
    HMODULE module = FModule.get();
    BindEntryPoint(module, "RasDialA", FEntryPoints.RasDial);
    BindEntryPoint(module, "RasEnumConnectionsA", FEntryPoints.RasEnumConnections);
    BindEntryPoint(module, "RasEnumEntriesA", FEntryPoints.RasEnumEntries);
    BindEntryPoint(module, "RasGetConnectStatusA", FEntryPoints.RasGetConnectStatus);
    BindEntryPoint(module, "RasGetErrorStringA", FEntryPoints.RasGetErrorString);
    BindEntryPoint(module, "RasHangUpA", FEntryPoints.RasHangUp);
    BindEntryPoint(module, "RasGetEntryDialParamsA", FEntryPoints.RasGetEntryDialParams);
}

void TRasBinding::Unbind() {
    if (!Available()) return;
    FEntryPoints = {};
    FModule.reset();
}

TRasApi TRasBinding::Api() const {
    TRasApi api;
    if (!Available()) return api;
    // DWORD and std::uint32_t are distinct types of the same width: copied, not aliased.
    if (auto enumConnections = FEntryPoints.RasEnumConnections) {
        api.EnumConnections = [enumConnections](RasConnRecord* records, std::uint32_t* bytes,
                                                std::uint32_t* count) {
            DWORD cb = *bytes, n = *count;
            const DWORD result = enumConnections(reinterpret_cast<LPRASCONNA>(records), &cb, &n);
            *bytes = cb;
            *count = n;
            return static_cast<std::uint32_t>(result);
        };
    }
    if (auto getConnectStatus = FEntryPoints.RasGetConnectStatus) {
        api.GetConnectStatus = [getConnectStatus](RasConnHandle connection,
                                                  RasConnStatusRecord* status) {
            return static_cast<std::uint32_t>(getConnectStatus(
                static_cast<HRASCONN>(connection), reinterpret_cast<LPRASCONNSTATUSA>(status)));
        };
    }
    if (auto enumEntries = FEntryPoints.RasEnumEntries) {
        api.EnumEntries = [enumEntries](const char* phoneBook, RasEntryNameRecord* entries,
                                        std::uint32_t* bytes, std::uint32_t* count) {
            DWORD cb = *bytes, n = *count;
            const DWORD result = enumEntries(nullptr, phoneBook,
                                             reinterpret_cast<LPRASENTRYNAMEA>(entries), &cb, &n);
            *bytes = cb;
            *count = n;
            return static_cast<std::uint32_t>(result);
        };
    }
    if (auto hangUp = FEntryPoints.RasHangUp) {
        api.HangUp = [hangUp](RasConnHandle connection) {
            return static_cast<std::uint32_t>(hangUp(static_cast<HRASCONN>(connection)));
        };
    }
    return api;
}

void BindRasLibrary() {
    RasBinding.Bind("RASAPI32.DLL");
}

void UnbindRasLibrary() {
    RasBinding.Unbind();
}

bool RasAvailable() {
    return RasBinding.Available();
}
