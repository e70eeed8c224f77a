#pragma once
// TMailBase: one TCP client session over the message-based asynchronous socket service, with
// blocking-style operations, to a server reached over IPv6 or IPv4. Each wait keeps the calling
// thread's messages flowing, is bounded by TimeOut seconds and ends early on Cancel or when the
// application is quitting. Failures are raised as EMailError, ESocketError, ETimedOutError or
// ECanceledError. What arrives is read into a buffer and taken from there. A subclass may
// secure the connection with TLS (TSecureChannel) and then sends and reads through it.
//
// A session belongs to the thread that creates it; only Cancel may come from another thread.

#include <winsock2.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/NotifyWindow.win.h"
#include "mailbase/HostLookup.win.h"

class TSecureChannel;

// The notification messages shared by every session. Registered once at program start, before
// any session is created.
extern UINT WM_SERVICEFOUND;
extern UINT WM_SOCKETACTIVITY;
void RegisterMailBaseMessages();

class TMailBase {
public:
    TMailBase();
    virtual ~TMailBase();
    TMailBase(const TMailBase&) = delete;
    TMailBase& operator=(const TMailBase&) = delete;

    virtual void Reset();
    // Safe from any thread, at any time.
    virtual void Cancel();
    // Socket start-up, host lookup (every address of the name), service lookup and socket
    // creation.
    virtual void Open();
    // SOCKET_ERROR when there is no socket; otherwise closesocket's result. A secure channel is
    // ended first, with a notice sent only if the socket takes it at once.
    virtual int CloseSocket();
    // Connects to Port of the first of RemoteAddresses that takes the connection, each tried
    // in turn with an equal share of the time that is left; when none does, raises what the
    // last one gave. Open must have succeeded and Reset been called since.
    void Connect();

    std::string Server;
    std::int32_t TimeOut = 60;
    // When set, the transcript is written to this file at destruction.
    std::string TranscriptFileName;
    std::uint16_t DefaultPort = 0;
    // When nonzero, used as the port without any service lookup (test tools connect to servers
    // on arbitrary loopback ports this way).
    std::uint16_t FixedPort = 0;

    HWND WindowHandle() const { return FWindow.Handle(); }
    SOCKET Socket = INVALID_SOCKET;
    std::vector<TSocketAddress> RemoteAddresses;
    // The address connected to, numeric.
    std::string RemoteAddressText;
    std::uint16_t Port = 0;  // host byte order
    std::int32_t TicksLeft = 0;
    std::int32_t StartupCount = 0;
    std::vector<std::string> Transcript;

    bool TimedOut = false;
    std::atomic<bool> Canceled{false};
    bool ServiceFound = false;
    bool SocketConnected = false;
    bool Readable = false;
    bool Writable = false;
    bool AsyncError = false;
    std::uint16_t ErrorCode = 0;
    std::string ServiceName;

protected:
    void StartTimeOut();
    void StopTimeOut();
    // One pass of a wait: handles the thread's pending messages, then turns the application's
    // quitting flag into Canceled unless the wait ignores it.
    void Pass(bool observeQuitting = true);
    // Blocks until a message arrives for the thread or Cancel wakes it; never spins.
    void Idle();
    // Passes, with Idle between them, until ended() is true; the clock runs meanwhile.
    template <class Ended>
    void WaitUntil(Ended ended, bool observeQuitting = true) {
        StartTimeOut();
        WaitOnClock(ended, observeQuitting);
    }
    // The same on a clock that is already running.
    template <class Ended>
    void WaitOnClock(Ended ended, bool observeQuitting = true) {
        for (Pass(observeQuitting); !ended(); Pass(observeQuitting)) Idle();
        StopTimeOut();
    }

    // Secures the connected socket with TLS for the name in Server: the handshake as one wait,
    // then the checks of the protocol version and of the server's certificate. From then on
    // Outgoing and ReceiveByte encrypt and decrypt. Raises ESocketError when the channel or the
    // certificate fails, or when bytes that arrived before the channel began are still unread
    // (they would pass for the server's words inside it); EMailError for an outdated protocol.
    void StartSecureChannel();
    // What goes on the wire for these bytes: themselves, or their records once secured.
    std::string Outgoing(const std::string& data);
    // One byte of the connection, taken without waiting: 1 with the byte, 0 once the server has
    // closed, -1 while none has arrived. What the socket holds is read at once, and kept for
    // the next calls. Raises ESocketError on a failure of the socket or the channel.
    int ReceiveByte(char& byte);
    // Received bytes are held that no data notification will announce again.
    bool InputPending() const;

private:
    void ResolveHost();
    void LookUpService();
    // Replaces the socket with a new one for this address family: 0, or the socket service's
    // error code.
    int NewSocket(int family);
    // One connection attempt on the socket, with a clock of its own when milliseconds is
    // nonzero: 0 when it stands, otherwise what it failed with (a socket error code, or -1 when
    // the clock ran out).
    int TryConnect(TSocketAddress address, UINT milliseconds);
    // Times the wait out after ticks ticks of this many milliseconds.
    void StartClock(std::int32_t ticks, UINT milliseconds);
    void TimerTick();
    bool NotificationHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void AbandonLookup();
    void WriteTranscript() const;
    void SecureHandshake();
    // Sends what the socket takes now and removes it from data; false when it took nothing.
    bool SendAvailable(std::string& data);
    // Hands what has arrived to the secure channel: the byte count, 0 once the server has
    // closed, -1 while nothing has arrived.
    int ReceiveAvailable();

    // The pending service lookup; Cancel may take it from another thread.
    std::atomic<HANDLE> AsyncRequest{nullptr};
    // The service lookup's result lives as long as the session, so an answer that is still on
    // its way when a wait ends early has somewhere to land.
    std::array<char, MAXGETHOSTSTRUCT> FLookupBuffer{};
    WSADATA WinsockData{};
    // Auto-reset; set by Cancel so that a wait blocked in Idle wakes at once.
    std::unique_ptr<void, decltype(&CloseHandle)> FWakeEvent;
    TNotifyWindow FWindow;
    // The TLS layer of the connection, from StartSecureChannel until CloseSocket.
    std::unique_ptr<TSecureChannel> FChannel;
    // Received on the plain connection and not taken yet: FInput from FInputTaken on.
    std::string FInput;
    std::size_t FInputTaken = 0;
};
