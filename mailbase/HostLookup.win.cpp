#include "mailbase/HostLookup.win.h"

#include <atomic>
#include <cstring>

namespace {

// Every stream address of the answer, IPv6 and IPv4, in its order; other families are skipped.
std::vector<TSocketAddress> StreamAddresses(const addrinfo* list) {
    std::vector<TSocketAddress> addresses;
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        if ((entry->ai_family != AF_INET && entry->ai_family != AF_INET6) ||
            entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        TSocketAddress address;
        std::memcpy(&address.Address, entry->ai_addr, entry->ai_addrlen);
        address.Length = static_cast<int>(entry->ai_addrlen);
        addresses.push_back(address);
    }
    return addresses;
}

int Resolve(const std::string& host, int flags, std::vector<TSocketAddress>& addresses) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* list = nullptr;
    const int error = getaddrinfo(host.c_str(), nullptr, &hints, &list);
    if (error != 0) return error;
    addresses = StreamAddresses(list);
    freeaddrinfo(list);
    return 0;
}

}  // namespace

void TSocketAddress::SetPort(std::uint16_t port) {
    if (Family() == AF_INET6)
        reinterpret_cast<sockaddr_in6*>(&Address)->sin6_port = htons(port);
    else
        reinterpret_cast<sockaddr_in*>(&Address)->sin_port = htons(port);
}

bool NumericAddress(const std::string& host, std::vector<TSocketAddress>& addresses) {
    return Resolve(host, AI_NUMERICHOST, addresses) == 0;
}

std::string AddressText(const TSocketAddress& address) {
    char text[NI_MAXHOST] = "";
    getnameinfo(address.Get(), address.Length, text, sizeof text, nullptr, 0, NI_NUMERICHOST);
    return text;
}

// Shared by the session and the lookup's thread; whichever lets go last frees it.
struct THostLookup::TState {
    std::string Host;
    HANDLE Wake = nullptr;  // a handle of the session's own, to its wake-up event
    std::atomic<bool> Done{false};
    int Error = 0;
    std::vector<TSocketAddress> Addresses;

    ~TState() {
        if (Wake) CloseHandle(Wake);
    }
    void Resolve() {
        Error = ::Resolve(Host, 0, Addresses);
        Done = true;
        SetEvent(Wake);
    }
};

THostLookup::THostLookup(const std::string& host, HANDLE wake) : FState(std::make_shared<TState>()) {
    FState->Host = host;
    // Its own handle keeps the event alive for a thread that outlives the session.
    DuplicateHandle(GetCurrentProcess(), wake, GetCurrentProcess(), &FState->Wake, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    // The thread holds a start-up of the socket service of its own, so that a session that
    // ends meanwhile cannot end the service under it.
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    auto* shared = new std::shared_ptr<TState>(FState);
    const HANDLE thread = CreateThread(nullptr, 0, &THostLookup::Run, shared, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    // Without a thread the lookup runs here, and only its own end can end the wait.
    Run(shared);
}

THostLookup::~THostLookup() = default;

DWORD WINAPI THostLookup::Run(LPVOID state) {
    const std::unique_ptr<std::shared_ptr<TState>> shared(static_cast<std::shared_ptr<TState>*>(state));
    (*shared)->Resolve();
    WSACleanup();
    return 0;
}

bool THostLookup::Done() const {
    return FState->Done.load();
}

int THostLookup::Error() const {
    return FState->Error;
}

const std::vector<TSocketAddress>& THostLookup::Addresses() const {
    return FState->Addresses;
}
