#pragma once
// Trusts the authority that signed the test POP3 server's certificates
// (LARKSPUR_POP3_AUTHORITY, a PEM file made at every test run) in the "Root" store of the Wine
// prefix, for as long as the object lives. An authority of an earlier run that was not removed
// is replaced. The trust store of the machine the tests run on is never touched.

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class TrustedTestAuthority {
public:
    TrustedTestAuthority() {
        const char* file = std::getenv("LARKSPUR_POP3_AUTHORITY");
        if (!file || !*file) return;
        std::string path = std::string("Z:") + file;
        std::replace(path.begin(), path.end(), '/', '\\');
        std::ifstream in(path, std::ios::binary);
        std::stringstream pem;
        pem << in.rdbuf();
        const std::string text = pem.str();
        DWORD size = 0;
        if (!CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()),
                                  CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
            return;
        std::vector<BYTE> der(size);
        if (!CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()),
                                  CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr))
            return;
        RemoveAuthorities();
        WithRootStore(CERT_SYSTEM_STORE_CURRENT_USER, [&](HCERTSTORE root) {
            FTrusted = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), size,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
        });
    }
    ~TrustedTestAuthority() {
        if (FTrusted) RemoveAuthorities();
    }
    TrustedTestAuthority(const TrustedTestAuthority&) = delete;
    TrustedTestAuthority& operator=(const TrustedTestAuthority&) = delete;

    bool Trusted() const { return FTrusted; }

private:
    // The registry part of the store itself, not the "Root" that collects it with others: Wine
    // drops a removal made through the collection. It writes the registry back when the store
    // is closed; only then do the chain checks of this and every other process see the change.
    template <class Change>
    static void WithRootStore(DWORD location, Change change) {
        HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0, location, "Root");
        if (!root) return;
        change(root);
        CertCloseStore(root, 0);
    }

    // An authority of an earlier run with the same name would spoil every chain built while it
    // is there.
    static void RemoveAuthorities() {
        for (DWORD location : {CERT_SYSTEM_STORE_LOCAL_MACHINE, CERT_SYSTEM_STORE_CURRENT_USER}) {
            WithRootStore(location, [](HCERTSTORE root) {
                while (PCCERT_CONTEXT found = CertFindCertificateInStore(
                           root, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_A,
                           "Larkspur Test Authority", nullptr)) {
                    if (!CertDeleteCertificateFromStore(found)) break;
                }
            });
        }
    }

    bool FTrusted = false;
};
