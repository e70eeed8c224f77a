#pragma once
// TSecureChannel: TLS on the platform's own provider (SChannel, through SSPI), with no transport
// of its own: the session hands it every byte it receives and sends every byte it returns, inside
// its own waits. Only TLS 1.2 and later are offered, and CheckProtocol refuses a channel that
// came out older all the same. The provider is told not to judge the server's certificate
// (SCH_CRED_MANUAL_CRED_VALIDATION); CheckCertificate does, because some providers (Wine's) do
// not check it at all otherwise.

#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
// The credentials that name the protocols they refuse (SCH_CREDENTIALS).
#define SCHANNEL_USE_BLACKLISTS
#include <windows.h>
#include <subauth.h>
#include <security.h>
#include <schannel.h>

#include <cstddef>
#include <string>

struct TSecurityLibrary;

class TSecureChannel {
public:
    // serverName goes to the server (so that it can pick its certificate) and is matched against
    // the certificate. Raises ESocketError when the system has no provider or it offers no
    // credentials.
    explicit TSecureChannel(const std::string& serverName);
    ~TSecureChannel();
    TSecureChannel(const TSecureChannel&) = delete;
    TSecureChannel& operator=(const TSecureChannel&) = delete;

    // True from creation until the handshake is complete, and again when the server asks for a
    // new one, or sends a message of the handshake layer, while data flows.
    bool Handshaking() const { return FState == csHandshake; }
    // Takes the handshake as far as the bytes received allow and returns what is to be sent
    // (the first call: the client's hello). Raises ESocketError when the handshake fails, and
    // EMailError when the server answered the hello with an outdated protocol version.
    std::string Continue();
    // Raises EMailError when the channel's protocol is older than TLS 1.2.
    void CheckProtocol() const;
    // Raises ESocketError with the text of what is wrong with the server's certificate: not
    // trusted, expired, for another name, not meant for a server.
    void CheckCertificate() const;

    // Bytes from the server. Raises ESocketError when the first of them cannot begin a TLS
    // answer, or when more arrive than any record can hold.
    void Received(const char* data, std::size_t size);
    // The records that carry data; raises ESocketError when the provider refuses.
    std::string Encrypt(const std::string& data);
    // One byte of the data the server sent; false while no whole record is there to decrypt,
    // once the server has closed the channel, or while a new handshake is due.
    bool TakeByte(char& byte);
    // Decrypted bytes not taken yet, or received bytes not decrypted yet.
    bool InputPending() const;
    // The server ended the channel (close_notify).
    bool Closed() const { return FState == csClosed; }
    // The notice that ends the channel, to be sent before the socket closes; empty when there is
    // no open channel to end.
    std::string Shutdown();

private:
    enum TState { csHandshake, csOpen, csClosed };

    void TakeExtra(const SecBuffer& buffer);
    [[noreturn]] void Fail(SECURITY_STATUS status) const;

    const TSecurityLibrary& FLibrary;
    const SecurityFunctionTableA& FSspi;
    std::string FServerName;
    CredHandle FCredentials{};
    CtxtHandle FContext{};
    bool FHasContext = false;
    TState FState = csHandshake;
    bool FReceivedAny = false;
    // The provider must be called again although no byte may wait: it asked for a new handshake.
    bool FReenter = false;
    // The server's request for a certificate has been let pass once, without one.
    bool FDeclinedCertificate = false;
    std::string FFirstAnswer;  // the first bytes the server sent, as far as its version
    SecPkgContext_StreamSizes FSizes{};
    std::string FIncoming;  // received, not yet taken by the provider
    std::string FPlain;     // decrypted, not yet taken
    std::size_t FPlainTaken = 0;
};
