#include "tests/win/ScriptedPop3Server.h"

#include "tests/support/LoopbackListener.h"

#include <algorithm>

namespace {

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};


}  // namespace

std::vector<ServerStep> Dialogue(std::initializer_list<std::string> replies) {
    std::vector<ServerStep> steps;
    for (const std::string& reply : replies) {
        if (!steps.empty()) steps.push_back(ReadLine());
        steps.push_back(Send(reply + "\r\n"));
    }
    return steps;
}

std::uint16_t ClosedLoopbackPort() {
    WinsockUser winsock;
    std::uint16_t port = 0;
    closesocket(LoopbackListener(port));
    return port;
}

ScriptedPop3Server::ScriptedPop3Server(std::vector<ServerStep> script) {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    FListener = LoopbackListener(FPort);
    FThread.Start([this, script = std::move(script)]() mutable { Serve(std::move(script)); });
}

ScriptedPop3Server::~ScriptedPop3Server() {
    FStop = true;
    FThread.join();
    closesocket(FListener);
    WSACleanup();
}

std::vector<std::string> ScriptedPop3Server::Received() const {
    std::lock_guard<TLock> lock(FLock);
    return FReceived;
}

bool ScriptedPop3Server::WaitForClientClose(int milliseconds) const {
    for (int waited = 0; !FClientClosed && waited < milliseconds; waited += 10) Sleep(10);
    return FClientClosed;
}

bool ScriptedPop3Server::WaitReadable(SOCKET s) const {
    while (!FStop) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tick{0, 20000};
        if (select(0, &set, nullptr, nullptr, &tick) > 0) return true;
    }
    return false;
}

bool ScriptedPop3Server::ReadOneLine(SOCKET s) {
    for (;;) {
        const std::size_t end = FPending.find("\r\n");
        if (end != std::string::npos) {
            std::lock_guard<TLock> lock(FLock);
            FReceived.push_back(FPending.substr(0, end));
            FPending.erase(0, end + 2);
            return true;
        }
        if (!WaitReadable(s)) return false;
        char buffer[256];
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) {
            FClientClosed = true;
            return false;
        }
        FPending.append(buffer, static_cast<std::size_t>(n));
    }
}

void ScriptedPop3Server::Serve(std::vector<ServerStep> script) {
    if (!WaitReadable(FListener)) return;
    SOCKET client = accept(FListener, nullptr, nullptr);
    FAcceptedAt = std::max<DWORD>(GetTickCount(), 1);  // 0 means "not yet"
    bool open = true;
    for (const ServerStep& step : script) {
        if (!open || FStop) break;
        switch (step.Kind) {
            case ServerStep::Send:
                send(client, step.Text.data(), static_cast<int>(step.Text.size()), 0);
                break;
            case ServerStep::SendByteByByte:
                for (char c : step.Text) {
                    send(client, &c, 1, 0);
                    Sleep(15);
                }
                break;
            case ServerStep::ReadLine:
                open = ReadOneLine(client);
                break;
            case ServerStep::Pause:
                Sleep(static_cast<DWORD>(step.Milliseconds));
                break;
            case ServerStep::Reset: {
                const linger hard{1, 0};
                setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                           sizeof hard);
                closesocket(client);
                client = INVALID_SOCKET;
                open = false;
                break;
            }
            case ServerStep::Close:
                closesocket(client);
                client = INVALID_SOCKET;
                open = false;
                break;
        }
    }
    while (open && ReadOneLine(client)) {
    }
    if (client != INVALID_SOCKET) closesocket(client);
}
