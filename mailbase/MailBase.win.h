#pragma once
// TMailBase: one TCP client session over the message-based asynchronous socket service, with
// blocking-style operations. Each wait keeps the calling thread's messages flowing, is bounded
// by TimeOut seconds and ends early on Cancel or when the application is quitting. Failures
// are raised as EMailError, ESocketError, ETimedOutError or ECanceledError.
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
    // SOCKET_ERROR when there is no socket; otherwise closesocket's result.
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

private:
    void ResolveHost();
    void LookUpService();
    void CreateSocket();
    void TimerTick();
    bool NotificationHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void AbandonLookup();
    void WriteTranscript() const;

    // The pending lookup; Cancel may take it from another thread.
    std::atomic<HANDLE> AsyncRequest{nullptr};
    // The lookup result lives as long as the session, so a lookup answer that is still on its
    // way when a wait ends early has somewhere to land.
    std::array<char, MAXGETHOSTSTRUCT> FLookupBuffer{};
    WSADATA WinsockData{};
    // Auto-reset; set by Cancel so that a wait blocked in Idle wakes at once.
    std::unique_ptr<void, decltype(&CloseHandle)> FWakeEvent;
    TNotifyWindow FWindow;
};
