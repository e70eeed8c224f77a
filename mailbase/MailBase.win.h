#pragma once
// TMailBase: one TCP client session over the message-based asynchronous socket service, with
// blocking-style operations. Each wait keeps the calling thread's messages flowing, is bounded
// by TimeOut seconds and ends early on Cancel or when the application is quitting. Failures
// are raised as EMailError, ESocketError, ETimedOutError or ECanceledError. A subclass may
// secure the connection with TLS (TSecureChannel) and then sends and reads through it.
//
// A session belongs to the thread that creates it; only Cancel may come from another thread.

#include <winsock.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/NotifyWindow.win.h"

class TSecureChannel;

// The three notification messages shared by every session. Registered once at program start,
// before any session is created.
extern UINT WM_HOSTFOUND;
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
    // Socket start-up, host lookup, service lookup and socket creation.
    virtual void Open();
    // SOCKET_ERROR when there is no socket; otherwise closesocket's result. A secure channel is
    // ended first, with a notice sent only if the socket takes it at once.
    virtual int CloseSocket();
    // Connects to RemoteAddress:Port; Open must have succeeded and Reset been called since.
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
    std::uint32_t RemoteAddress = 0;  // network byte order
    std::string RemoteAddressText;
    std::uint16_t Port = 0;  // host byte order
    std::int32_t TicksLeft = 0;
    std::int32_t StartupCount = 0;
    std::vector<std::string> Transcript;

    bool TimedOut = false;
    std::atomic<bool> Canceled{false};
    bool HostFound = false;
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
        for (Pass(observeQuitting); !ended(); Pass(observeQuitting)) Idle();
        StopTimeOut();
    }

    // Secures the connected socket with TLS for the name in Server: the handshake as one wait,
    // then the check of the server's certificate. From then on Outgoing and ReceiveByte encrypt
    // and decrypt. Raises ESocketError when the channel or the certificate fails.
    void StartSecureChannel();
    // What goes on the wire for these bytes: themselves, or their records once secured.
    std::string Outgoing(const std::string& data);
    // One byte of the connection, taken without waiting: 1 with the byte, 0 once the server has
    // closed, -1 while none has arrived. Raises ESocketError on a failure of the socket or the
    // channel.
    int ReceiveByte(char& byte);
    // A secure channel holds received bytes that no data notification will announce again.
    bool InputPending() const;

private:
    void ResolveHost();
    void LookUpService();
    void CreateSocket();
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

    // The pending lookup; Cancel may take it from another thread.
    std::atomic<HANDLE> AsyncRequest{nullptr};
    // The lookup result lives as long as the session, so a lookup answer that is still on its
    // way when a wait ends early has somewhere to land.
    std::array<char, MAXGETHOSTSTRUCT> FLookupBuffer{};
    WSADATA WinsockData{};
    // Auto-reset; set by Cancel so that a wait blocked in Idle wakes at once.
    std::unique_ptr<void, decltype(&CloseHandle)> FWakeEvent;
    TNotifyWindow FWindow;
    // The TLS layer of the connection, from StartSecureChannel until CloseSocket.
    std::unique_ptr<TSecureChannel> FChannel;
};
