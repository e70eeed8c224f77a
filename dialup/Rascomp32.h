#pragma once
// TRAS: the dial-up component over the remote-access service. It lists the active connections,
// tells whether one of them is up and lists the phone-book entries; every operation whose
// entry point is missing does nothing and answers 0 (or false). No lock: the owner keeps the
// uses of one instance from overlapping.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialup/ConnectionList.h"
#include "dialup/RasApi.h"

// The platform's fixed dial-event message number, for when "RASDialEvent" cannot be registered.
constexpr unsigned RasDialEventFallback = 0xCCCD;

class TRAS;
using TRasNotifyEvent = std::function<void(TRAS* Sender)>;
using TRasStateEvent =
    std::function<void(TRAS* Sender, std::int32_t Error, const std::string& ErrorString)>;

class TRAS {
public:
    // registeredDialEvent is the number the platform gave for "RASDialEvent", 0 when it gave
    // none. No service call is made.
    TRAS(TRasApi api, unsigned registeredDialEvent);
    // Hangs up the connection the component holds only when AutoDisconnect is set.
    ~TRAS();
    TRAS(const TRAS&) = delete;
    TRAS& operator=(const TRAS&) = delete;

    // Replaces Connections with the first four active connections; the service's result code.
    std::uint32_t RefreshConnections();
    // Refreshes Connections and answers whether one of them is in the connected state.
    bool IsConnected();
    // Replaces PhoneBookEntries with the non-empty names of the first twenty entries of the
    // phone book at PhoneBookPath (the default one when empty); the service's result code.
    std::uint32_t RefreshPhoneBookEntries();
    // Hangs up the connection the component holds, if any; the service's result code or 0.
    std::uint32_t HangUp();

    const std::string& PhoneBookPath() const { return FPhoneBookPath; }
    void SetPhoneBookPath(const std::string& path);
    const TConnectionList& Connections() const { return FConnections; }
    const std::vector<std::string>& PhoneBookEntries() const { return FPhoneBookEntries; }
    std::uint32_t LastError() const { return FLastError; }
    std::uint16_t DialEventMessage() const { return FDialEventMessage; }

    // Dialing parameters and events of the component's published interface. The program only
    // observes connections and never dials, so nothing sets or raises them.
    std::string EntryName, PhoneNumber, CallbackNumber, UserName, Password, Domain, DeviceType,
        DeviceName;
    std::int32_t RedialAttempts = 1;
    bool AutoDisconnect = false;
    TRasNotifyEvent OnConnect;
    TRasStateEvent OnDisconnect;
    TRasNotifyEvent OnCallBack, OnAboutToOpenPort, OnPortOpened, OnAboutToConnDev, OnDevConnected,
        OnAllDevsConnected, OnAuthenticate, OnAuthNotify, OnAuthRetry, OnAuthCallBack,
        OnAuthChangePassword, OnAuthProject, OnAuthLinkSpeed, OnAuthAck, OnReAuthenticate,
        OnAuthenticated, OnPrepareforCallback, OnWaitForModemReset, OnInteractiveStarted,
        OnRetryAuth, OnPasswordExpired;
    TRasStateEvent OnConnectionError;

private:
    TRasApi Api;
    std::uint16_t FDialEventMessage;
    RasConnHandle ConnectionHandle = nullptr;
    std::string FPhoneBookPath;
    std::vector<std::string> FPhoneBookEntries;
    TConnectionList FConnections;
    std::uint32_t FLastError = 0;
    bool Destroying = false;
};
