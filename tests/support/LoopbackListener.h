#pragma once
// A listening TCP socket on 127.0.0.1 at a port the system picks; shared by the scripted test
// servers and the benchmarks. The caller has started Winsock and closes the socket.

#include <winsock2.h>

#include <cstdint>

inline SOCKET LoopbackListener(std::uint16_t& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    listen(s, 4);
    port = ntohs(address.sin_port);
    return s;
}
