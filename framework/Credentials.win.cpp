#include "framework/Credentials.win.h"

#include <windows.h>
#include <wincred.h>

#include <algorithm>
#include <vector>

#include "framework/OSError.win.h"
#include "framework/WideText.win.h"

namespace {

// Frees what CredReadW returned, with the secret's bytes wiped first.
struct TCredentialBlock {
    PCREDENTIALW Credential = nullptr;
    ~TCredentialBlock() {
        if (!Credential) return;
        if (Credential->CredentialBlob)
            SecureZeroMemory(Credential->CredentialBlob, Credential->CredentialBlobSize);
        CredFree(Credential);
    }
};

}  // namespace

namespace {

// False when no such credential exists.
bool ReadBlock(const std::string& target, TCredentialBlock& block) {
    if (CredReadW(AnsiToWide(target).data(), CRED_TYPE_GENERIC, 0, &block.Credential)) return true;
    if (GetLastError() != ERROR_NOT_FOUND) RaiseLastOSError("CredReadW");
    return false;
}

}  // namespace

std::optional<TSecret> ReadCredential(const std::string& target) {
    std::string user;
    return ReadCredentialAndUser(target, user);
}

std::optional<TSecret> ReadCredentialAndUser(const std::string& target, std::string& user) {
    TCredentialBlock block;
    if (!ReadBlock(target, block)) return std::nullopt;
    user = WideToAnsi(block.Credential->UserName);
    const auto* bytes = reinterpret_cast<const char*>(block.Credential->CredentialBlob);
    return TSecret(std::string(bytes, bytes ? block.Credential->CredentialBlobSize : 0));
}

void WriteCredential(const std::string& target, const std::string& user, const TSecret& secret) {
    std::vector<wchar_t> targetName = AnsiToWide(target);
    std::vector<wchar_t> userName = AnsiToWide(user);
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = targetName.data();
    credential.UserName = userName.data();
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.CredentialBlobSize = static_cast<DWORD>(secret.Value().size());
    // The function only reads the blob; the structure's field is not const.
    credential.CredentialBlob =
        reinterpret_cast<LPBYTE>(const_cast<char*>(secret.Value().data()));
    if (!CredWriteW(&credential, 0)) RaiseLastOSError("CredWriteW");
}

void DeleteCredential(const std::string& target) {
    if (!CredDeleteW(AnsiToWide(target).data(), CRED_TYPE_GENERIC, 0) &&
        GetLastError() != ERROR_NOT_FOUND)
        RaiseLastOSError("CredDeleteW");
}

void CopyCredential(const std::string& source, const std::string& target) {
    TCredentialBlock block;
    if (!ReadBlock(source, block)) return DeleteCredential(target);
    std::vector<wchar_t> targetName = AnsiToWide(target);
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = targetName.data();
    credential.UserName = block.Credential->UserName;
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    credential.CredentialBlobSize = block.Credential->CredentialBlobSize;
    credential.CredentialBlob = block.Credential->CredentialBlob;
    if (!CredWriteW(&credential, 0)) RaiseLastOSError("CredWriteW");
}
