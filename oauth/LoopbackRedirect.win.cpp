// Winsock 2 for the event that joins a socket's readiness to the stop event; the rest of the
// program speaks Winsock 1.1, from the same library.
#include <winsock2.h>

#include "oauth/LoopbackRedirect.win.h"

namespace {

// A request line longer than this is no redirect of ours.
constexpr std::size_t MaxRequestHead = 16 * 1024;

// Waits until the socket has one of the events or stop is signalled; false on stop or failure.
bool WaitFor(SOCKET s, HANDLE event, long events, HANDLE stop) {
    if (WSAEventSelect(s, event, events) != 0) return false;
    const HANDLE handles[] = {stop, event};
    const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    WSANETWORKEVENTS happened{};
    WSAEnumNetworkEvents(s, event, &happened);
    return woken == WAIT_OBJECT_0 + 1;
}

void SendAll(SOCKET s, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const int n = send(s, text.data() + sent, static_cast<int>(text.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

TLoopbackRedirect::TLoopbackRedirect() : FSocket(INVALID_SOCKET) {
    WSADATA data;
    FStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!FStarted) return;
    FEvent = WSACreateEvent();
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    FSocket = s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    FListening = FEvent != WSA_INVALID_EVENT && s != INVALID_SOCKET &&
                 bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
                 listen(s, 4) == 0;
    FPort = ntohs(address.sin_port);
}

TLoopbackRedirect::~TLoopbackRedirect() {
    if (FSocket != INVALID_SOCKET) closesocket(FSocket);
    if (FEvent && FEvent != WSA_INVALID_EVENT) WSACloseEvent(FEvent);
    if (FStarted) WSACleanup();
}

bool TLoopbackRedirect::Wait(HANDLE stop, const std::string& sentence, TRedirect& redirect) {
    if (!FListening) return false;
    for (;;) {
        if (!WaitFor(FSocket, FEvent, FD_ACCEPT, stop)) return false;
        const SOCKET connection = accept(FSocket, nullptr, nullptr);
        if (connection == INVALID_SOCKET) continue;
        const bool served = Serve(connection, stop, sentence, redirect);
        closesocket(connection);
        if (served) return true;
        if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return false;
    }
}

bool TLoopbackRedirect::Serve(std::uintptr_t connection, HANDLE stop, const std::string& sentence,
                              TRedirect& redirect) {
    const SOCKET s = connection;
    std::string head;
    char buffer[1024];
    // The whole head: closing with some of it unread would reset the browser's connection.
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (head.size() > MaxRequestHead || !WaitFor(s, FEvent, FD_READ | FD_CLOSE, stop))
            return false;
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
        if (n <= 0) return false;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    WSAEventSelect(s, nullptr, 0);
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    if (!ParseRedirectRequest(head.substr(0, head.find("\r\n")), redirect) ||
        (redirect.Code.empty() && redirect.Error.empty())) {
        SendAll(s, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return false;
    }
    SendAll(s, RedirectAnswer(sentence));
    shutdown(s, SD_SEND);
    return true;
}
