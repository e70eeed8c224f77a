#include "mailbase/SecurityLibrary.win.h"

#include <string>

#include "framework/Handles.win.h"
#include "framework/SystemLibrary.win.h"
#include "mailbase/MailErrors.h"

namespace {

// A library by its full name, without a box for a missing file; null when it cannot be loaded.
TModule LoadLibraryIn(const std::string& folder, const char* name) {
    const UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS);
    TModule module(LoadLibraryA((folder + "\\" + name).c_str()));
    SetErrorMode(previous);
    return module;
}

}  // namespace

TSecurityLibrary BindSecurityLibrary(const std::string& folder) {
    TModule secur32 = LoadLibraryIn(folder, "secur32.dll");
    TModule crypt32 = LoadLibraryIn(folder, "crypt32.dll");
    decltype(&InitSecurityInterfaceA) initSecurityInterface = nullptr;
    if (!secur32 || !crypt32 ||
        !BindEntryPoint(secur32.get(), "InitSecurityInterfaceA", initSecurityInterface))
        return {};
    TSecurityLibrary library;
    library.Sspi = initSecurityInterface();
    const bool bound =
        library.Sspi && library.Sspi->EncryptMessage && library.Sspi->DecryptMessage &&
        BindEntryPoint(crypt32.get(), "CertGetCertificateChain", library.GetCertificateChain) &&
        BindEntryPoint(crypt32.get(), "CertVerifyCertificateChainPolicy",
                library.VerifyCertificateChainPolicy) &&
        BindEntryPoint(crypt32.get(), "CertFreeCertificateChain", library.FreeCertificateChain) &&
        BindEntryPoint(crypt32.get(), "CertFreeCertificateContext", library.FreeCertificateContext);
    if (!bound) return {};
    // Bound for good: the entry points are used until the process ends.
    secur32.release();
    crypt32.release();
    return library;
}

const TSecurityLibrary& SecurityLibrary() {
    static const TSecurityLibrary library = [] {
        const std::string folder = SystemFolder();
        return folder.empty() ? TSecurityLibrary{} : BindSecurityLibrary(folder);
    }();
    if (!library.Sspi)
        throw ESocketError(
            "This computer offers no secure connections (secur32.dll, crypt32.dll).");
    return library;
}
