#include "mailbase/MailBase.win.h"

#include <algorithm>

#include "framework/Application.win.h"
#include "mailbase/MailErrors.h"
#include "mailbase/SecureChannel.win.h"
#include "mailbase/SecureErrorText.h"
#include "mailbase/SocketErrorText.h"

UINT WM_SERVICEFOUND = 0;
UINT WM_SOCKETACTIVITY = 0;

void RegisterMailBaseMessages() {
    WM_SERVICEFOUND = RegisterWindowMessageA("WM_SERVICEFOUND BM + MailBase RegisterWindowMessage");
    WM_SOCKETACTIVITY =
        RegisterWindowMessageA("WM_SOCKETACTIVITY BM + MailBase RegisterWindowMessage");
}

namespace {

constexpr UINT kTickMilliseconds = 1000;
// What one receive takes: a quarter of the largest TLS record, many lines of a plain dialogue.
constexpr int kReceiveSize = 4096;

// What a connection attempt gives when its share of the time ran out.
constexpr int kClockRanOut = -1;

ESocketError SocketError(int code) {
    return ESocketError(SocketErrorText(static_cast<std::uint16_t>(code)));
}

ESocketError LastSocketError() {
    return SocketError(WSAGetLastError());
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
    if (WSAStartup(MAKEWORD(2, 2), &WinsockData) != 0)
        throw ESocketError("Invalid Winsock Version");
    ++StartupCount;
    ResolveHost();
    LookUpService();
    // A second Open replaces the socket of the first instead of leaking it.
    if (const int error = NewSocket(RemoteAddresses.front().Family())) throw SocketError(error);
}

int TMailBase::CloseSocket() {
    if (Socket == INVALID_SOCKET) return SOCKET_ERROR;
    if (FChannel) {
        // Courtesy only: the socket is closed whether or not the server gets the notice.
        const std::string notice = FChannel->Shutdown();
        if (!notice.empty()) send(Socket, notice.data(), static_cast<int>(notice.size()), 0);
        FChannel.reset();
    }
    FInput.clear();
    FInputTaken = 0;
    const int result = closesocket(Socket);
    Socket = INVALID_SOCKET;
    return result;
}

void TMailBase::ResolveHost() {
    RemoteAddresses.clear();
    if (NumericAddress(Server, RemoteAddresses) && !RemoteAddresses.empty()) return;

    THostLookup lookup(Server, FWakeEvent.get());
    WaitUntil([&] { return lookup.Done() || TimedOut || Canceled; });
    if (lookup.Done() && lookup.Error() != 0) throw SocketError(lookup.Error());
    if (TimedOut) throw ETimedOutError();
    if (Canceled) throw ECanceledError();
    RemoteAddresses = lookup.Addresses();
    // A name found without an address of either family cannot be connected to.
    if (RemoteAddresses.empty()) throw SocketError(WSANO_DATA);
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

int TMailBase::NewSocket(int family) {
    const SOCKET created = socket(family, SOCK_STREAM, 0);
    if (created == INVALID_SOCKET) return WSAGetLastError();
    // The old socket goes only now, so that the new one cannot have its number: a notification
    // still queued for the old one would pass for the new one's.
    CloseSocket();
    Socket = created;
    return 0;
}

void TMailBase::Connect() {
    const DWORD started = GetTickCount();
    const std::uint64_t time = TimeOut > 0 ? static_cast<std::uint64_t>(TimeOut) * 1000 : 0;
    int error = WSAENOTCONN;
    for (std::size_t i = 0; i < RemoteAddresses.size(); ++i) {
        const TSocketAddress& address = RemoteAddresses[i];
        // Each address gets an equal share of what is left, so that one that never answers
        // leaves time for the others.
        const std::uint64_t elapsed = GetTickCount() - started;
        const std::uint64_t share = (time > elapsed ? time - elapsed : 1) / (RemoteAddresses.size() - i);
        // Open made the socket for the first address; each other one needs a new one.
        error = i == 0 ? 0 : NewSocket(address.Family());
        if (error == 0)
            error = TryConnect(address, time == 0 ? 0 : static_cast<UINT>(std::clamp<std::uint64_t>(share, 1, UINT_MAX)));
        if (Canceled) throw ECanceledError();
        if (error == 0) {
            RemoteAddressText = AddressText(address);
            return;
        }
    }
    if (error == kClockRanOut) throw ETimedOutError();
    throw SocketError(error);
}

int TMailBase::TryConnect(TSocketAddress address, UINT milliseconds) {
    address.SetPort(Port);
    SocketConnected = false;
    AsyncError = false;
    ErrorCode = 0;
    TimedOut = false;
    if (WSAAsyncSelect(Socket, WindowHandle(), WM_SOCKETACTIVITY,
                       FD_READ | FD_WRITE | FD_CONNECT) == SOCKET_ERROR)
        throw LastSocketError();
    if (connect(Socket, address.Get(), address.Length) == SOCKET_ERROR) {
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK) return code;
    }
    if (milliseconds == 0)
        StartTimeOut();
    else
        StartClock(1, milliseconds);
    // A refused or unreachable attempt arrives as FD_CONNECT with an error: reported at once,
    // not after the whole time-out.
    WaitOnClock([this] { return SocketConnected || Canceled || TimedOut || AsyncError; });
    if (Canceled) return WSAEINTR;
    if (TimedOut) return kClockRanOut;
    return AsyncError ? ErrorCode : 0;
}

void TMailBase::StartTimeOut() {
    StartClock(TimeOut, kTickMilliseconds);
}

void TMailBase::StartClock(std::int32_t ticks, UINT milliseconds) {
    TicksLeft = ticks;
    FWindow.StartTimer(milliseconds);
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
    if (msg == WM_SERVICEFOUND) {
        // The answer of a lookup that was abandoned (by the clock, a cancel or a failed wait)
        // must not set the flags of a later wait.
        if (reinterpret_cast<HANDLE>(wParam) != AsyncRequest.load()) return true;
        ServiceFound = true;
        setError();
        return true;
    }
    if (msg == WM_SOCKETACTIVITY) {
        // A socket of an earlier connection attempt is gone; what was queued for it is not news.
        if (static_cast<SOCKET>(wParam) != Socket) return true;
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
    // Whatever the server sent before the channel began would be read as if it came through it.
    if (InputPending()) throw ESocketError(UnsecuredDataText);
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
    FChannel->CheckProtocol();
    FChannel->CheckCertificate();
}

bool TMailBase::SendAvailable(std::string& data) {
    if (data.empty()) return false;
    const int n = send(Socket, data.data(), static_cast<int>(data.size()), 0);
    if (n == SOCKET_ERROR) {
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK) throw SocketError(code);
        return false;
    }
    data.erase(0, static_cast<std::size_t>(n));
    return n > 0;
}

int TMailBase::ReceiveAvailable() {
    char buffer[kReceiveSize];
    const int n = recv(Socket, buffer, sizeof buffer, 0);
    if (n == SOCKET_ERROR) {
        const int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK) throw SocketError(code);
        return -1;
    }
    if (FChannel)
        FChannel->Received(buffer, static_cast<std::size_t>(n));
    else
        FInput.assign(buffer, static_cast<std::size_t>(n));
    FInputTaken = 0;
    return n;
}

std::string TMailBase::Outgoing(const std::string& data) {
    return FChannel ? FChannel->Encrypt(data) : data;
}

int TMailBase::ReceiveByte(char& byte) {
    if (!FChannel) {
        if (FInputTaken == FInput.size()) {
            const int received = ReceiveAvailable();
            if (received <= 0) return received;
        }
        byte = FInput[FInputTaken++];
        return 1;
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
    return FInputTaken < FInput.size() || (FChannel && FChannel->InputPending());
}
