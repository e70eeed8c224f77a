#include "dialup/Rascomp32.h"

#include <algorithm>

namespace {

constexpr std::uint32_t MaxConnections = 4;
constexpr std::uint32_t MaxPhoneBookEntries = 20;

bool RecordsUsable(std::uint32_t result) {
    return result == 0 || result == RasErrorBufferTooSmall;
}

}  // namespace

TRAS::TRAS(TRasApi api, unsigned registeredDialEvent)
    : Api(std::move(api)),
      FDialEventMessage(static_cast<std::uint16_t>(registeredDialEvent ? registeredDialEvent
                                                                       : RasDialEventFallback)) {}

TRAS::~TRAS() {
    Destroying = true;
    HangUp();
}

std::uint32_t TRAS::RefreshConnections() {
    if (!Api.EnumConnections) return 0;
    FConnections.Clear();
    // Zero-filled so that records the service left unwritten on a 603 read as empty.
    RasConnRecord records[MaxConnections] = {};
    records[0].dwSize = sizeof(RasConnRecord);
    std::uint32_t bytes = sizeof records;
    std::uint32_t count = 0;
    FLastError = Api.EnumConnections(records, &bytes, &count);
    if (!RecordsUsable(FLastError)) return FLastError;
    for (std::uint32_t i = 0; i < std::min(count, MaxConnections); ++i)
        FConnections.AddConnection(records[i]);
    return FLastError;
}

bool TRAS::IsConnected() {
    if (!Api.EnumConnections || !Api.GetConnectStatus) return false;
    RefreshConnections();
    for (std::size_t i = 0; i < FConnections.Count(); ++i) {
        RasConnStatusRecord status = {};
        status.dwSize = sizeof status;
        FLastError = Api.GetConnectStatus(FConnections.RASConn(i), &status);
        if (FLastError == 0 && status.rasconnstate == RasConnectedState) return true;
    }
    return false;
}

std::uint32_t TRAS::RefreshPhoneBookEntries() {
    if (!Api.EnumEntries) return 0;
    FPhoneBookEntries.clear();
    RasEntryNameRecord entries[MaxPhoneBookEntries] = {};
    entries[0].dwSize = sizeof(RasEntryNameRecord);
    std::uint32_t bytes = sizeof entries;
    std::uint32_t count = 0;
    FLastError = Api.EnumEntries(FPhoneBookPath.empty() ? nullptr : FPhoneBookPath.c_str(), entries,
                                 &bytes, &count);
    if (!RecordsUsable(FLastError)) return FLastError;
    for (std::uint32_t i = 0; i < std::min(count, MaxPhoneBookEntries); ++i) {
        std::string name = RecordText(entries[i].szEntryName);
        if (!name.empty()) FPhoneBookEntries.push_back(std::move(name));
    }
    return FLastError;
}

std::uint32_t TRAS::HangUp() {
    if (!Api.HangUp) return 0;
    std::uint32_t result = 0;
    if (ConnectionHandle && (!Destroying || AutoDisconnect)) result = Api.HangUp(ConnectionHandle);
    ConnectionHandle = nullptr;
    FLastError = result;
    return result;
}

void TRAS::SetPhoneBookPath(const std::string& path) {
    FPhoneBookPath = path;
    RefreshPhoneBookEntries();
}
