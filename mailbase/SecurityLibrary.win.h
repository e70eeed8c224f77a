#pragma once
// The platform's TLS provider (SSPI, from secur32.dll) and certificate chain functions (from
// crypt32.dll), bound at run time from the system folder when the first secure connection needs
// them. Linked at build time instead, a DLL of the same name in the program's folder would be
// loaded at every start; a plain check never loads either.

#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <windows.h>
#include <security.h>
#include <wincrypt.h>

#include <string>

struct TSecurityLibrary {
    // AcquireCredentialsHandleA, InitializeSecurityContextA, EncryptMessage, DecryptMessage,
    // ApplyControlToken and the rest, as the provider's own table gives them.
    PSecurityFunctionTableA Sspi = nullptr;
    decltype(&CertGetCertificateChain) GetCertificateChain = nullptr;
    decltype(&CertVerifyCertificateChainPolicy) VerifyCertificateChainPolicy = nullptr;
    decltype(&CertFreeCertificateChain) FreeCertificateChain = nullptr;
    decltype(&CertFreeCertificateContext) FreeCertificateContext = nullptr;
};

// The libraries of the system folder, bound on the first call (once per process; they stay
// loaded). Raises ESocketError when the system lacks a library or an entry point.
const TSecurityLibrary& SecurityLibrary();

// Binds the two libraries of this folder by their full names; without a table (Sspi null)
// unless every library and entry point is there.
TSecurityLibrary BindSecurityLibrary(const std::string& folder);
