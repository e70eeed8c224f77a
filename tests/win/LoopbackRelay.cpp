#include "tests/win/LoopbackRelay.h"

#include <windows.h>

#include "tests/support/LoopbackListener.h"

LoopbackRelay::LoopbackRelay(std::uint16_t serverPort, Pieces pieces) {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    FListener = LoopbackListener(FPort);
    FThread.Start([this, serverPort, pieces] { Serve(serverPort, pieces); });
}

LoopbackRelay::~LoopbackRelay() {
    FStop = true;
    FThread.join();
    closesocket(FListener);
    WSACleanup();
}

std::string LoopbackRelay::ClientBytes() const {
    std::lock_guard<TLock> lock(FLock);
    return FClientBytes;
}

void LoopbackRelay::Serve(std::uint16_t serverPort, Pieces pieces) {
    // Short select ticks, so that the destructor never waits long for the thread.
    const auto readable = [this](SOCKET a, SOCKET b, fd_set& set) {
        while (!FStop) {
            FD_ZERO(&set);
            FD_SET(a, &set);
            if (b != INVALID_SOCKET) FD_SET(b, &set);
            timeval tick{0, 20000};
            if (select(0, &set, nullptr, nullptr, &tick) > 0) return true;
        }
        return false;
    };
    fd_set set;
    if (!readable(FListener, INVALID_SOCKET, set)) return;
    SOCKET client = accept(FListener, nullptr, nullptr);
    SOCKET server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(serverPort);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    BOOL noDelay = TRUE;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    if (connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        char buffer[4096];
        while (readable(client, server, set)) {
            if (FD_ISSET(client, &set)) {
                const int n = recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                {
                    std::lock_guard<TLock> lock(FLock);
                    FClientBytes.append(buffer, static_cast<std::size_t>(n));
                }
                send(server, buffer, n, 0);
            }
            if (FD_ISSET(server, &set)) {
                const int n = recv(server, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                if (pieces == AsTheyCome) {
                    send(client, buffer, n, 0);
                    continue;
                }
                for (int i = 0; i < n; ++i) {
                    send(client, buffer + i, 1, 0);
                    Sleep(1);  // the client reads each byte before the next arrives
                }
            }
        }
    }
    closesocket(server);
    closesocket(client);
}
