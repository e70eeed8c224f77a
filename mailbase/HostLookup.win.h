#pragma once
// The addresses of the mail server, IPv6 and IPv4 alike, in the order the system prefers them.
// A name is looked up on a thread of its own, so that the session's wait goes on meanwhile with
// its clock and its cancel; a lookup nobody waits for any more ends on its own, unseen.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TSocketAddress {
    sockaddr_storage Address{};
    int Length = 0;

    int Family() const { return Address.ss_family; }
    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&Address); }
    // The port, in host byte order, of an IPv4 or IPv6 address.
    void SetPort(std::uint16_t port);
};

// The address itself when host is one (dotted, or IPv6 without brackets), found without asking
// anyone; false for a name.
bool NumericAddress(const std::string& host, std::vector<TSocketAddress>& addresses);

// The numeric form of an address ("127.0.0.1", "::1").
std::string AddressText(const TSocketAddress& address);

class THostLookup {
public:
    // Starts looking up host; wake is set once the lookup is done.
    THostLookup(const std::string& host, HANDLE wake);
    // Abandons a lookup that is still running.
    ~THostLookup();
    THostLookup(const THostLookup&) = delete;
    THostLookup& operator=(const THostLookup&) = delete;

    bool Done() const;
    // Once done: the socket service's error code, 0 when the name was found.
    int Error() const;
    // Once done: every IPv6 and IPv4 address of the name.
    const std::vector<TSocketAddress>& Addresses() const;

private:
    struct TState;
    static DWORD WINAPI Run(LPVOID state);

    std::shared_ptr<TState> FState;
};
