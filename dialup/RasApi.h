#pragma once
// The remote-access service as the dial-up component sees it: the record versions it passes and
// the table of the four operations it calls. The records are the platform's oldest versions
// that carry what the component reads (RASCONN with entry name, device type and device name;
// RASCONNSTATUS without phone number; RASENTRYNAME with the name only). Their size fields select
// those versions: 412, 160 and 264 bytes in the 32-bit build. In the 64-bit build the pointer-
// sized connection handle makes RASCONN 416 bytes (the platform packs these records to 4-byte
// boundaries); the other two keep their sizes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

constexpr std::size_t RasMaxEntryName = 256;
constexpr std::size_t RasMaxDeviceType = 16;
constexpr std::size_t RasMaxDeviceName = 128;

// The platform's result "buffer too small": the records that fitted are still filled in.
constexpr std::uint32_t RasErrorBufferTooSmall = 603;
// The connection state of a connection that is up.
constexpr std::uint32_t RasConnectedState = 0x2000;

// The platform's connection handle, which is pointer-sized.
using RasConnHandle = void*;

#pragma pack(push, 4)
struct RasConnRecord {
    std::uint32_t dwSize;
    RasConnHandle hrasconn;
    char szEntryName[RasMaxEntryName + 1];
    char szDeviceType[RasMaxDeviceType + 1];
    char szDeviceName[RasMaxDeviceName + 1];
};

struct RasConnStatusRecord {
    std::uint32_t dwSize;
    std::uint32_t rasconnstate;
    std::uint32_t dwError;
    char szDeviceType[RasMaxDeviceType + 1];
    char szDeviceName[RasMaxDeviceName + 1];
};

struct RasEntryNameRecord {
    std::uint32_t dwSize;
    char szEntryName[RasMaxEntryName + 1];
};
#pragma pack(pop)

static_assert(sizeof(void*) != 4 || sizeof(RasConnRecord) == 412, "RASCONN version of 412 bytes");
static_assert(sizeof(RasConnStatusRecord) == 160, "RASCONNSTATUS version of 160 bytes");
static_assert(sizeof(RasEntryNameRecord) == 264, "RASENTRYNAME version of 264 bytes");

// A text field of a record; the service is not trusted to terminate it.
template <std::size_t N>
std::string RecordText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// The operations the component calls, with the platform's arguments (byte counts and record
// counts in and out). An empty entry is an operation the library does not provide; the
// component then behaves for that operation as if the library were absent.
struct TRasApi {
    std::function<std::uint32_t(RasConnRecord* records, std::uint32_t* bytes, std::uint32_t* count)>
        EnumConnections;
    std::function<std::uint32_t(RasConnHandle connection, RasConnStatusRecord* status)>
        GetConnectStatus;
    // phoneBook is null for the default phone book.
    std::function<std::uint32_t(const char* phoneBook, RasEntryNameRecord* entries,
                                std::uint32_t* bytes, std::uint32_t* count)>
        EnumEntries;
    std::function<std::uint32_t(RasConnHandle connection)> HangUp;
};
