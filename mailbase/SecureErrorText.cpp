#include "mailbase/SecureErrorText.h"

#include "framework/Convert.h"

const char* const NotSecureServerText =
    "The mail server did not answer with a secure connection. Check the port and the secure "
    "connection setting.";
const char* const HandshakeClosedText =
    "The mail server closed the connection before it was secured.";
const char* const UnsecuredDataText =
    "The mail server sent more than was asked for before the connection was secured.";
const char* const OutdatedSecureConnectionText =
    "The mail server offers only an outdated secure connection.";

namespace {

std::string WithCode(const char* text, std::uint32_t code) {
    return std::string(text) + " (error 0x" + HexDigits(code, 8) + ")";
}

}  // namespace

std::string SecureChannelErrorText(std::uint32_t status) {
    switch (status) {
        case 0x80090331:  // SEC_E_ALGORITHM_MISMATCH
            return "The mail server and this computer have no security protocol in common.";
        default:
            return WithCode("The secure connection to the mail server failed", status) + ".";
    }
}

std::string CertificateErrorText(std::uint32_t error) {
    switch (error) {
        case 0x800B0109:  // CERT_E_UNTRUSTEDROOT
        case 0x800B010A:  // CERT_E_CHAINING
        case 0x800B010D:  // CERT_E_UNTRUSTEDTESTROOT
        case 0x800B0112:  // CERT_E_UNTRUSTEDCA
        case 0x80096004:  // TRUST_E_CERT_SIGNATURE
        case 0x80096019:  // TRUST_E_BASIC_CONSTRAINTS
            return "The mail server's certificate is not trusted.";
        case 0x800B0101:  // CERT_E_EXPIRED: also a certificate that is not valid yet
            return "The mail server's certificate has expired or is not yet valid.";
        case 0x800B010F:  // CERT_E_CN_NO_MATCH
            return "The mail server's certificate is for another name.";
        case 0x800B0110:  // CERT_E_WRONG_USAGE
            return "The mail server's certificate is not meant for a server.";
        case 0x800B010C:  // CERT_E_REVOKED
        case 0x80092010:  // CRYPT_E_REVOKED
            return "The mail server's certificate has been revoked.";
        default:
            return WithCode("The mail server's certificate could not be verified", error) + ".";
    }
}

std::uint32_t CertificateChainError(std::uint32_t trustErrorStatus) {
    static const struct {
        std::uint32_t Flag, Error;
    } faults[] = {
        {0x00010000, 0x800B010A},  // CERT_TRUST_IS_PARTIAL_CHAIN: CERT_E_CHAINING
        {0x00000020, 0x800B0109},  // CERT_TRUST_IS_UNTRUSTED_ROOT: CERT_E_UNTRUSTEDROOT
        {0x00000008, 0x80096004},  // CERT_TRUST_IS_NOT_SIGNATURE_VALID: TRUST_E_CERT_SIGNATURE
        {0x00000080, 0x800B010A},  // CERT_TRUST_IS_CYCLIC: CERT_E_CHAINING
        {0x00000400,
         0x80096019},  // CERT_TRUST_INVALID_BASIC_CONSTRAINTS: TRUST_E_BASIC_CONSTRAINTS
        {0x00000004, 0x80092010},  // CERT_TRUST_IS_REVOKED: CRYPT_E_REVOKED
        {0x00000001, 0x800B0101},  // CERT_TRUST_IS_NOT_TIME_VALID: CERT_E_EXPIRED
        {0x00000010, 0x800B0110},  // CERT_TRUST_IS_NOT_VALID_FOR_USAGE: CERT_E_WRONG_USAGE
    };
    for (const auto& fault : faults) {
        if (trustErrorStatus & fault.Flag) return fault.Error;
    }
    return 0;
}
