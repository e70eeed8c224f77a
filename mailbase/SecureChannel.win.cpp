#include "mailbase/SecureChannel.win.h"

#include <wincrypt.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/WideText.win.h"
#include "mailbase/MailErrors.h"
#include "mailbase/SecureErrorText.h"
#include "mailbase/SecurityLibrary.win.h"
#include "mailbase/TlsProtocol.h"

namespace {

constexpr ULONG kContextRequirements = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                       ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                       ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

// No record, and no handshake message that the provider needs whole, comes near this; a server
// that sends more without completing one is not speaking TLS.
constexpr std::size_t kMaxPendingInput = 64 * 1024;

// TLS record types that may open a server's answer to the hello: handshake and alert.
constexpr unsigned char kHandshakeRecord = 0x16;
constexpr unsigned char kAlertRecord = 0x15;
// A record header and a ServerHello up to its version.
constexpr std::size_t kFirstAnswerSize = 11;

constexpr DWORD kCredentialFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;

ESocketError Failure(SECURITY_STATUS status) {
    return ESocketError(SecureChannelErrorText(static_cast<std::uint32_t>(status)));
}

// An output token that the provider allocated, freed however the scope is left.
struct OutputToken {
    explicit OutputToken(const SecurityFunctionTableA& sspi) : Sspi(sspi) {}
    ~OutputToken() {
        if (Buffer.pvBuffer) Sspi.FreeContextBuffer(Buffer.pvBuffer);
    }
    OutputToken(const OutputToken&) = delete;
    OutputToken& operator=(const OutputToken&) = delete;

    const SecurityFunctionTableA& Sspi;
    SecBuffer Buffer{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc Desc{SECBUFFER_VERSION, 1, &Buffer};

    std::string Bytes() const {
        return Buffer.pvBuffer
                   ? std::string(static_cast<const char*>(Buffer.pvBuffer), Buffer.cbBuffer)
                   : std::string();
    }
};

}  // namespace

// No client certificate is ever offered. TLS 1.2 and later only, whatever the system would allow:
// a server that speaks nothing newer is one an attacker can read.
TSecureChannel::TSecureChannel(const std::string& serverName)
    : FLibrary(SecurityLibrary()), FSspi(*FLibrary.Sspi), FServerName(serverName) {
    TimeStamp expiry;
    const auto acquire = [&](void* credentials) {
        return FSspi.AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A),
                                               SECPKG_CRED_OUTBOUND, nullptr, credentials, nullptr,
                                               nullptr, &FCredentials, &expiry);
    };
    // The newer credentials name what they refuse, so that TLS 1.3 comes in wherever the system
    // has it (only these credentials reach it).
    TLS_PARAMETERS parameters{};
    parameters.grbitDisabledProtocols =
        SP_PROT_PCT1 | SP_PROT_SSL2 | SP_PROT_SSL3 | SP_PROT_TLS1_0 | SP_PROT_TLS1_1;
    SCH_CREDENTIALS modern{};
    modern.dwVersion = SCH_CREDENTIALS_VERSION;
    modern.dwFlags = kCredentialFlags;
    modern.cTlsParameters = 1;
    modern.pTlsParameters = &parameters;
    if (acquire(&modern) == SEC_E_OK) return;
    // Systems from before them know no TLS 1.3 either.
    SCHANNEL_CRED classic{};
    classic.dwVersion = SCHANNEL_CRED_VERSION;
    classic.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    classic.dwFlags = kCredentialFlags;
    const SECURITY_STATUS status = acquire(&classic);
    if (status != SEC_E_OK) throw Failure(status);
}

TSecureChannel::~TSecureChannel() {
    if (FHasContext) FSspi.DeleteSecurityContext(&FContext);
    FSspi.FreeCredentialHandle(&FCredentials);
}

// The provider reports bytes it did not consume as the size of a tail of the input.
void TSecureChannel::TakeExtra(const SecBuffer& buffer) {
    if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer <= FIncoming.size())
        FIncoming.erase(0, FIncoming.size() - buffer.cbBuffer);
    else
        FIncoming.clear();
}

// A server that answered the hello with an outdated version is told apart from other failures:
// the provider itself may only say that the handshake failed.
void TSecureChannel::Fail(SECURITY_STATUS status) const {
    if (AnswersWithOutdatedTls(FFirstAnswer)) throw EMailError(OutdatedSecureConnectionText);
    throw Failure(status);
}

std::string TSecureChannel::Continue() {
    std::string outgoing;
    while (Handshaking() && (!FHasContext || !FIncoming.empty() || FReenter)) {
        FReenter = false;
        // Two input buffers, token and empty: the provider reports the unread tail in the second.
        SecBuffer input[2] = {
            {static_cast<ULONG>(FIncoming.size()), SECBUFFER_TOKEN, &FIncoming[0]},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inputDesc{SECBUFFER_VERSION, 2, input};
        OutputToken output(FSspi);
        ULONG attributes = 0;
        const SECURITY_STATUS status = FSspi.InitializeSecurityContextA(
            &FCredentials, FHasContext ? &FContext : nullptr, &FServerName[0], kContextRequirements,
            0, 0, FHasContext ? &inputDesc : nullptr, 0, FHasContext ? nullptr : &FContext,
            &output.Desc, &attributes, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) break;  // the rest of a record is on its way
        if (status == SEC_I_INCOMPLETE_CREDENTIALS && FHasContext && !FDeclinedCertificate) {
            // The server asks for a client certificate; the credentials hold none, so the same
            // input goes in again and the handshake goes on without one. A server that insists
            // refuses the handshake itself.
            FDeclinedCertificate = true;
            outgoing += output.Bytes();
            continue;
        }
        FDeclinedCertificate = false;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) Fail(status);
        const bool first = !FHasContext;
        const std::size_t offered = FIncoming.size();
        FHasContext = true;
        outgoing += output.Bytes();
        if (!first) TakeExtra(input[1]);
        // A provider that takes nothing and gives nothing waits for more, whatever it says.
        if (status == SEC_I_CONTINUE_NEEDED && !first && output.Buffer.cbBuffer == 0 &&
            FIncoming.size() == offered)
            break;
        if (status == SEC_E_OK) {
            const SECURITY_STATUS sizes =
                FSspi.QueryContextAttributesA(&FContext, SECPKG_ATTR_STREAM_SIZES, &FSizes);
            if (sizes != SEC_E_OK) Fail(sizes);
            // What follows the last handshake record (the server's first data) stays for
            // TakeByte.
            FState = csOpen;
        }
    }
    return outgoing;
}

void TSecureChannel::CheckProtocol() const {
    SecPkgContext_ConnectionInfo connection{};
    const SECURITY_STATUS status = FSspi.QueryContextAttributesA(
        const_cast<CtxtHandle*>(&FContext), SECPKG_ATTR_CONNECTION_INFO, &connection);
    if (status != SEC_E_OK) throw Failure(status);
    if (IsOutdatedProtocol(connection.dwProtocol)) throw EMailError(OutdatedSecureConnectionText);
}

void TSecureChannel::CheckCertificate() const {
    PCCERT_CONTEXT received = nullptr;
    const SECURITY_STATUS status = FSspi.QueryContextAttributesA(
        const_cast<CtxtHandle*>(&FContext), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &received);
    if (status != SEC_E_OK || !received) throw Failure(status);
    const std::unique_ptr<const CERT_CONTEXT, decltype(&CertFreeCertificateContext)> certificate(
        received, FLibrary.FreeCertificateContext);

    char serverAuthentication[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuthentication};
    CERT_CHAIN_PARA chainPara{sizeof chainPara};
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    // Revocation is not asked for: it would reach out to the network on every check (and dial a
    // dial-up connection) for lists that a mail server's certificate rarely needs.
    PCCERT_CHAIN_CONTEXT built = nullptr;
    if (!FLibrary.GetCertificateChain(nullptr, certificate.get(), nullptr, certificate->hCertStore,
                                      &chainPara, 0, nullptr, &built))
        throw ESocketError(CertificateErrorText(GetLastError()));
    const std::unique_ptr<const CERT_CHAIN_CONTEXT, decltype(&CertFreeCertificateChain)> chain(
        built, FLibrary.FreeCertificateChain);

    TWide name = AnsiToWide(FServerName);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = name.data();
    CERT_CHAIN_POLICY_PARA policy{sizeof policy};
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS verdict{sizeof verdict};
    if (!FLibrary.VerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy,
                                               &verdict))
        throw ESocketError(CertificateErrorText(GetLastError()));
    const std::uint32_t error = verdict.dwError != 0
                                    ? verdict.dwError
                                    : CertificateChainError(chain->TrustStatus.dwErrorStatus);
    if (error != 0) throw ESocketError(CertificateErrorText(error));
}

void TSecureChannel::Received(const char* data, std::size_t size) {
    if (size == 0) return;
    if (!FReceivedAny) {
        // A plain POP3 server greets with "+OK" before it has read the hello.
        const auto first = static_cast<unsigned char>(data[0]);
        if (first != kHandshakeRecord && first != kAlertRecord)
            throw ESocketError(NotSecureServerText);
        FReceivedAny = true;
    }
    if (FFirstAnswer.size() < kFirstAnswerSize)
        FFirstAnswer.append(data, std::min(size, kFirstAnswerSize - FFirstAnswer.size()));
    if (FIncoming.size() + size > kMaxPendingInput) throw Failure(SEC_E_ILLEGAL_MESSAGE);
    FIncoming.append(data, size);
}

std::string TSecureChannel::Encrypt(const std::string& data) {
    std::string records;
    for (std::size_t at = 0; at < data.size(); at += FSizes.cbMaximumMessage) {
        const std::size_t size = std::min<std::size_t>(data.size() - at, FSizes.cbMaximumMessage);
        std::string record(FSizes.cbHeader + size + FSizes.cbTrailer, '\0');
        std::memcpy(&record[FSizes.cbHeader], data.data() + at, size);
        SecBuffer buffers[4] = {
            {FSizes.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
            {static_cast<ULONG>(size), SECBUFFER_DATA, &record[FSizes.cbHeader]},
            {FSizes.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[FSizes.cbHeader + size]},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = FSspi.EncryptMessage(&FContext, 0, &desc, 0);
        if (status != SEC_E_OK) {
            SecureZeroMemory(&record[0], record.size());
            throw Failure(status);
        }
        // The trailer may come out shorter than the room it was given.
        records.append(record, 0, buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
    }
    return records;
}

bool TSecureChannel::TakeByte(char& byte) {
    while (FPlainTaken == FPlain.size()) {
        FPlain.clear();
        FPlainTaken = 0;
        if (FState != csOpen || FIncoming.empty()) return false;
        // One data buffer and three empty ones, which the provider fills with the header, the
        // data, the trailer and the unread tail.
        SecBuffer buffers[4] = {
            {static_cast<ULONG>(FIncoming.size()), SECBUFFER_DATA, &FIncoming[0]},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = FSspi.DecryptMessage(&FContext, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return false;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            FState = csClosed;
            FIncoming.clear();
            return false;
        }
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) throw Failure(status);
        // Decrypted in place: copied out before the input is cut down to its unread tail. A
        // close_notify may also come back as SEC_E_OK without data; the closed socket that
        // follows it tells the rest.
        const SecBuffer* extra = nullptr;
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA)
                FPlain.assign(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
            else if (buffer.BufferType == SECBUFFER_EXTRA)
                extra = &buffer;
        }
        if (extra)
            TakeExtra(*extra);
        else
            FIncoming.clear();
        // The server wants a new handshake, or sent a message of the handshake layer (a TLS 1.3
        // session ticket or key update): the provider takes the unread tail as its input, and is
        // called even when there is none.
        if (status == SEC_I_RENEGOTIATE) {
            FState = csHandshake;
            FReenter = true;
        }
    }
    byte = FPlain[FPlainTaken++];
    return true;
}

bool TSecureChannel::InputPending() const {
    return FPlainTaken < FPlain.size() || (FState == csOpen && !FIncoming.empty());
}

std::string TSecureChannel::Shutdown() {
    if (FState != csOpen) return "";
    FState = csClosed;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc controlDesc{SECBUFFER_VERSION, 1, &control};
    if (FSspi.ApplyControlToken(&FContext, &controlDesc) != SEC_E_OK) return "";
    OutputToken output(FSspi);
    ULONG attributes = 0;
    const SECURITY_STATUS status = FSspi.InitializeSecurityContextA(
        &FCredentials, &FContext, &FServerName[0], kContextRequirements, 0, 0, nullptr, 0, nullptr,
        &output.Desc, &attributes, nullptr);
    return status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED ? output.Bytes() : "";
}
