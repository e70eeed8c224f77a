#pragma once
// The texts the user sees when a secure connection fails: in the handshake, in a record, or
// because of the server's certificate.

#include <cstdint>
#include <string>

// The peer answered the handshake with something that is not TLS, such as a POP3 greeting.
extern const char* const NotSecureServerText;
// The peer closed the connection before the handshake was complete.
extern const char* const HandshakeClosedText;
// Bytes arrived before the secure channel began that nobody asked for, such as more after the
// answer to STLS: an attacker on the way may have put them there.
extern const char* const UnsecuredDataText;
// The server speaks only protocol versions older than TLS 1.2.
extern const char* const OutdatedSecureConnectionText;

// For a status of the platform's TLS provider (an SSPI SECURITY_STATUS).
std::string SecureChannelErrorText(std::uint32_t status);

// For the error that the chain policy check found in the server's certificate (a CERT_E_ or
// TRUST_E_ code), or for why the certificate could not be checked at all.
std::string CertificateErrorText(std::uint32_t error);

// The error code for the faults that a certificate chain's own trust status holds (its
// CERT_TRUST_ error flags), most serious first; 0 when it holds none of them. A policy check
// can pass a chain that never reached a trusted root (Wine's does): the chain itself still says
// so. Revocation that could not be checked and flags the policy ignores on purpose do not count.
std::uint32_t CertificateChainError(std::uint32_t trustErrorStatus);
