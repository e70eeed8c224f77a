#include "mailbase/MailBase.win.h"

#include "framework/Application.win.h"
#include "mailbase/MailErrors.h"
#include "mailbase/SecureChannel.win.h"
#include "mailbase/SecureErrorText.h"
#include "mailbase/SocketErrorText.h"

UINT WM_HOSTFOUND = 0;
UINT WM_SERVICEFOUND = 0;
UINT WM_SOCKETACTIVITY = 0;

void RegisterMailBaseMessages() {
    WM_HOSTFOUND = RegisterWindowMessageA("WM_HOSTFOUND BM + MailBase RegisterWindowMessage");
    WM_SERVICEFOUND = RegisterWindowMessageA("WM_SERVICEFOUND BM + MailBase RegisterWindowMessage");
    WM_SOCKETACTIVITY =
        RegisterWindowMessageA("WM_SOCKETACTIVITY BM + MailBase RegisterWindowMessage");
}

namespace {

constexpr UINT kTickMilliseconds = 1000;
// What one receive may hand to a secure channel: a quarter of the largest record.
constexpr int kSecureReceiveSize = 4096;

ESocketError LastSocketError() {
    return ESocketError(SocketErrorText(static_cast<std::uint16_t>(WSAGetLastError())));
}

}  // namespace

TMailBase::TMailBase()
    : FWakeEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr), &CloseHandle),
      FWindow([this](UINT msg, WPARAM wParam, LPARAM lParam,
                     LRESULT& result) { return NotificationHandler(msg, wParam, lParam, result); },
              [this] { TimerTick(); }) {}

TMailBase::~TMailBase() {
    // The owner normally closes the socket first; a socket still open is not left behind.
    CloseSocket();
    FWindow.StopTimer();
    for (; StartupCount > 0; --StartupCount) WSACleanup();
    if (!TranscriptFileName.empty()) WriteTranscript();
}

// Written with the platform's file calls: C++ streams would bring the whole locale machinery
// into the program for this one file.
void TMailBase::WriteTranscript() const {
    const HANDLE file = CreateFileA(TranscriptFileName.c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text;
    for (const std::string& line : Transcript) text.append(line).append("\r\n");
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

void TMailBase::Reset() {
    Canceled = false;
    TimedOut = false;
    AsyncError = false;
    HostFound = false;
    ServiceFound = false;
    SocketConnected = false;
    Readable = false;
    Writable = false;
    AsyncRequest = nullptr;
}

void TMailBase::AbandonLookup() {
    if (HANDLE request = AsyncRequest.exchange(nullptr)) WSACancelAsyncRequest(request);
}

void TMailBase::Cancel() {
    Canceled = true;
    AbandonLookup();
    // Finds nothing when called from another thread than the session's.
    if (WSAIsBlocking()) WSACancelBlockingCall();
    SetEvent(FWakeEvent.get());
}

void TMailBase::Open() {
    if (WSAStartup(MAKEWORD(1, 1), &WinsockData) != 0)
        throw ESocketError("Invalid Winsock Version");
    ++StartupCount;
    ResolveHost();
    LookUpService();
    CreateSocket();
}

int TMailBase::CloseSocket() {
    if (Socket == INVALID_SOCKET) return SOCKET_ERROR;
    if (FChannel) {
        // Courtesy only: the socket is closed whether or not the server gets the notice.
        const std::string notice = FChannel->Shutdown();
        if (!notice.empty()) send(Socket, notice.data(), static_cast<int>(notice.size()), 0);
        FChannel.reset();
    }
    const int result = closesocket(Socket);
    Socket = INVALID_SOCKET;
    return result;
}

void TMailBase::ResolveHost() {
    RemoteAddress = inet_addr(Server.c_str());
    if (RemoteAddress != INADDR_NONE) return;

    HANDLE request = WSAAsyncGetHostByName(WindowHandle(), WM_HOSTFOUND, Server.c_str(),
                                           FLookupBuffer.data(), FLookupBuffer.size());
    if (!request) throw LastSocketError();
    AsyncRequest = request;
    WaitUntil([this] { return HostFound || TimedOut || Canceled; });
    if (!HostFound) AbandonLookup();
    AsyncRequest = nullptr;
    if (AsyncError) throw ESocketError(SocketErrorText(ErrorCode));
    if (TimedOut) throw ETimedOutError();
    if (Canceled) throw ECanceledError();

    const auto* host = reinterpret_cast<const hostent*>(FLookupBuffer.data());
    const auto* a = reinterpret_cast<const unsigned char*>(host->h_addr_list[0]);
    RemoteAddressText = std::to_string(a[0]) + "." + std::to_string(a[1]) + "." +
                        std::to_string(a[2]) + "." + std::to_string(a[3]);
    RemoteAddress = inet_addr(RemoteAddressText.c_str());
    if (RemoteAddress == INADDR_NONE) throw EMailError("Error resolving remote host");
}

void TMailBase::LookUpService() {
    if (ServiceName.empty()) throw EMailError("Service name is not specified");
    if (FixedPort != 0) {
        Port = FixedPort;
        return;
    }
    HANDLE request = WSAAsyncGetServByName(WindowHandle(), WM_SERVICEFOUND, ServiceName.c_str(),
                                           "tcp", FLookupBuffer.data(), FLookupBuffer.size());
    if (!request) {
        Port = DefaultPort;
        return;
    }
    AsyncRequest = request;
    // A quitting program still gets its port; only the result, a cancel or the clock end this.
    WaitUntil([this] { return ServiceFound || Canceled || TimedOut; }, false);
    if (!ServiceFound) AbandonLookup();
    AsyncRequest = nullptr;
    if (AsyncError || TimedOut) {
        Port = DefaultPort;
        return;
    }
    if (Canceled) throw ECanceledError();
    Port = ntohs(reinterpret_cast<const servent*>(FLookupBuffer.data())->s_port);
}

void TMailBase::CreateSocket() {
    // A second Open replaces the socket of the first instead of leaking it.
    CloseSocket();
    Socket = socket(AF_INET, SOCK_STREAM, 0);
    if (Socket == INVALID_SOCKET) throw LastSocketError();
}

void TMailBase::Connect() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(Port);
    address.sin_addr.s_addr = RemoteAddress;
    if (WSAAsyncSelect(Socket, WindowHandle(), WM_SOCKETACTIVITY,
                       FD_READ | FD_WRITE | FD_CONNECT) == SOCKET_ERROR)
        throw LastSocketError();
    if (connect(Socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
        SOCKET_ERROR) {
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK) throw ESocketError(SocketErrorText(code));
    }
    // A refused or unreachable attempt arrives as FD_CONNECT with an error: reported at once,
    // not after the whole time-out.
    WaitUntil([this] { return SocketConnected || Canceled || TimedOut || AsyncError; });
    if (Canceled) throw ECanceledError();
    if (TimedOut) throw ETimedOutError();
    if (AsyncError) throw ESocketError(SocketErrorText(ErrorCode));
}

void TMailBase::StartTimeOut() {
    TicksLeft = TimeOut;
    FWindow.StartTimer(kTickMilliseconds);
}

void TMailBase::StopTimeOut() {
    FWindow.StopTimer();
}

void TMailBase::TimerTick() {
    // With TimeOut 0 or less the count never meets 0 exactly: such waits never time out.
    if (--TicksLeft != 0) return;
    AbandonLookup();
    if (WSAIsBlocking()) WSACancelBlockingCall();
    StopTimeOut();
    TimedOut = true;
}

void TMailBase::Pass(bool observeQuitting) {
    Application.ProcessMessages();
    if (observeQuitting && Application.Terminated()) Canceled = true;
}

void TMailBase::Idle() {
    HANDLE wake = FWakeEvent.get();
    Application.WaitForMessageOrHandles(1, &wake, INFINITE);
}

bool TMailBase::NotificationHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    const auto setError = [&] {
        ErrorCode = WSAGETSELECTERROR(lParam);
        AsyncError = ErrorCode != 0;
    };
    if (msg == WM_HOSTFOUND || msg == WM_SERVICEFOUND) {
        // The answer of a lookup that was abandoned (by the clock, a cancel or a failed wait)
        // must not set the flags of a later wait.
        if (reinterpret_cast<HANDLE>(wParam) != AsyncRequest.load()) return true;
        (msg == WM_HOSTFOUND ? HostFound : ServiceFound) = true;
        setError();
        return true;
    }
    if (msg == WM_SOCKETACTIVITY) {
        setError();
        if (!AsyncError) {
            switch (WSAGETSELECTEVENT(lParam)) {
                case FD_READ:
                    Readable = true;
                    break;
                case FD_WRITE:
                    Writable = true;
                    break;
                case FD_CONNECT:
                    SocketConnected = true;
                    break;
                default:
                    break;
            }
        }
        return true;
    }
    return false;
}

void TMailBase::StartSecureChannel() {
    FChannel = std::make_unique<TSecureChannel>(Server);
    SecureHandshake();
}

// One wait for the whole handshake, under one TimeOut: a server cannot stretch it by answering
// in small pieces.
void TMailBase::SecureHandshake() {
    std::string outgoing;
    StartTimeOut();
    struct Stop {
        TMailBase& Session;
        ~Stop() { Session.StopTimeOut(); }
    } stop{*this};
    for (;;) {
        Pass();
        if (Canceled || TimedOut || AsyncError) break;
        outgoing += FChannel->Continue();
        bool progressed = SendAvailable(outgoing);
        if (!FChannel->Handshaking() && outgoing.empty()) break;
        if (FChannel->Handshaking()) {
            const int received = ReceiveAvailable();
            if (received == 0) throw ESocketError(HandshakeClosedText);
            progressed = progressed || received > 0;
        }
        // Nothing moved: sleep until the socket, the clock or a cancel says something.
        if (!progressed) Idle();
    }
    if (Canceled) throw ECanceledError();
    if (TimedOut) throw ETimedOutError();
    if (AsyncError) throw ESocketError(SocketErrorText(ErrorCode));
    FChannel->CheckCertificate();
}

bool TMailBase::SendAvailable(std::string& data) {
    if (data.empty()) return false;
    const int n = send(Socket, data.data(), static_cast<int>(data.size()), 0);
    if (n == SOCKET_ERROR) {
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            throw ESocketError(SocketErrorText(static_cast<std::uint16_t>(code)));
        return false;
    }
    data.erase(0, static_cast<std::size_t>(n));
    return n > 0;
}

int TMailBase::ReceiveAvailable() {
    char buffer[kSecureReceiveSize];
    const int n = recv(Socket, buffer, sizeof buffer, 0);
    if (n == SOCKET_ERROR) {
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            throw ESocketError(SocketErrorText(static_cast<std::uint16_t>(code)));
        return -1;
    }
    FChannel->Received(buffer, static_cast<std::size_t>(n));
    return n;
}

std::string TMailBase::Outgoing(const std::string& data) {
    return FChannel ? FChannel->Encrypt(data) : data;
}

int TMailBase::ReceiveByte(char& byte) {
    if (!FChannel) {
        const int n = recv(Socket, &byte, 1, 0);
        if (n != SOCKET_ERROR) return n;
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            throw ESocketError(SocketErrorText(static_cast<std::uint16_t>(code)));
        return -1;
    }
    for (;;) {
        if (FChannel->TakeByte(byte)) return 1;
        if (FChannel->Handshaking()) {
            // The server asked for a new handshake. It takes the clock for its own wait; the
            // read goes on afterwards with a fresh one.
            SecureHandshake();
            StartTimeOut();
            continue;
        }
        if (FChannel->Closed()) return 0;
        const int received = ReceiveAvailable();
        if (received <= 0) return received;
    }
}

bool TMailBase::InputPending() const {
    return FChannel && FChannel->InputPending();
}
