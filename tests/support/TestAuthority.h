#pragma once
// Trusts the authority that signed the test POP3 server's certificates
// (LARKSPUR_POP3_AUTHORITY, a PEM file made at every test run) in the "Root" store of the Wine
// prefix, for as long as the object lives. Authorities of earlier runs that were left behind are
// removed; one that an enclosing run (a parent process) trusts already stays its parent's. The
// trust store of the machine the tests run on is never touched.

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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
        FAuthority.resize(size);
        if (!CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()),
                                  CRYPT_STRING_BASE64HEADER, FAuthority.data(), &size, nullptr,
                                  nullptr))
            return;
        bool present = false;
        for (DWORD location : {CERT_SYSTEM_STORE_LOCAL_MACHINE, CERT_SYSTEM_STORE_CURRENT_USER})
            WithRootStore(location, [&](HCERTSTORE root) { present |= KeepOnly(root, true); });
        if (present) {
            FTrusted = true;
            return;
        }
        WithRootStore(CERT_SYSTEM_STORE_CURRENT_USER, [&](HCERTSTORE root) {
            FOwner = FTrusted = CertAddEncodedCertificateToStore(
                root, X509_ASN_ENCODING, FAuthority.data(), size, CERT_STORE_ADD_NEW, nullptr);
        });
    }
    ~TrustedTestAuthority() {
        if (FOwner)
            WithRootStore(CERT_SYSTEM_STORE_CURRENT_USER,
                          [&](HCERTSTORE root) { KeepOnly(root, false); });
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
        HCERTSTORE root =
            CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0, location, "Root");
        if (!root) return;
        change(root);
        CertCloseStore(root, 0);
    }

    // Removes every test authority but this run's, and this run's too unless keepThisRun; true
    // when this run's was kept. An authority of another run with the same name would spoil
    // every chain built while it is there.
    bool KeepOnly(HCERTSTORE root, bool keepThisRun) const {
        bool kept = false;
        std::vector<PCCERT_CONTEXT> doomed;
        PCCERT_CONTEXT found = nullptr;
        while ((found = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0,
                                                   CERT_FIND_SUBJECT_STR_A,
                                                   "Larkspur Test Authority", found))) {
            const bool thisRun = found->cbCertEncoded == FAuthority.size() &&
                                 std::memcmp(found->pbCertEncoded, FAuthority.data(),
                                             FAuthority.size()) == 0;
            if (thisRun && keepThisRun)
                kept = true;
            else
                doomed.push_back(CertDuplicateCertificateContext(found));
        }
        // Removed once the search is over: a store changed under a search may never end it.
        for (PCCERT_CONTEXT certificate : doomed) CertDeleteCertificateFromStore(certificate);
        return kept;
    }

    std::vector<BYTE> FAuthority;
    bool FTrusted = false;
    bool FOwner = false;
};
