#include "oauth/AccountTokens.win.h"

#include "framework/Application.win.h"
#include "framework/Credentials.win.h"
#include "framework/Exception.h"
#include "oauth/TokenRefresh.win.h"

#include <memory>

namespace {

ULONGLONG Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

constexpr ULONGLONG kSecond = 10000000;

// Shared by the waiting thread and the worker: a worker left behind by a stopped wait still has
// what it works on.
struct TRefreshJob {
    TOAuthClient Client;
    std::string Target, Account;
    TSecret RefreshToken;
    TSignInOutcome Outcome;
    ~TRefreshJob() {
        Wipe(Outcome.Tokens.AccessToken);
        Wipe(Outcome.Tokens.RefreshToken);
    }
    // A provider may hand out a new refresh token with the access token, and may end the old
    // one: the new one is kept even when nobody waits for the renewal any more, unless the
    // account was signed out or in again meanwhile.
    void Refresh() {
        Outcome = RefreshAccessToken(Client, RefreshToken.Value());
        const std::string& rotated = Outcome.Tokens.RefreshToken;
        if (Outcome.Failure != TSignInFailure::None || rotated.empty() ||
            rotated == RefreshToken.Value())
            return;
        try {
            std::string user;
            const std::optional<TSecret> stored = ReadCredentialAndUser(Target, user);
            if (stored && stored->Value() == RefreshToken.Value())
                WriteCredential(Target, Account, TSecret(rotated));
        } catch (const Exception&) {
            // The old token stays; a provider that ended it asks for a sign-in again.
        }
    }
    static DWORD WINAPI Run(LPVOID param) {
        const std::unique_ptr<std::shared_ptr<TRefreshJob>> job(
            static_cast<std::shared_ptr<TRefreshJob>*>(param));
        (*job)->Refresh();
        return 0;
    }
};

bool Signalled(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

void TAccountTokens::Keep(const std::string& account, TTokenResponse& tokens) {
    WriteCredential(FTarget, account, TSecret(std::move(tokens.RefreshToken)));
    FAccess = TSecret(std::move(tokens.AccessToken));
    FExpires = Now() + ULONGLONG(tokens.ExpiresIn) * kSecond;
    Wipe(tokens.RefreshToken);
    Wipe(tokens.AccessToken);
}

TSignInFailure TAccountTokens::AccessToken(const TOAuthClient& client, bool renew,
                                           TSecret& token, std::string& detail, HANDLE stop) {
    if (!renew && !FAccess.Empty() && Now() + TokenExpiryMarginSeconds * kSecond < FExpires) {
        token = FAccess;
        return TSignInFailure::None;
    }
    FAccess.Wipe();
    std::string account;
    const std::optional<TSecret> refresh = ReadCredentialAndUser(FTarget, account);
    if (!refresh) return TSignInFailure::Denied;
    // The request blocks; the user-interface thread keeps its messages flowing meanwhile.
    const auto job = std::make_shared<TRefreshJob>();
    job->Client = client;
    job->Target = FTarget;
    job->Account = account;
    job->RefreshToken = *refresh;
    auto* handedOver = new std::shared_ptr<TRefreshJob>(job);
    HANDLE thread = CreateThread(nullptr, 0, TRefreshJob::Run, handedOver, 0, nullptr);
    if (!thread) {
        delete handedOver;
        job->Refresh();
    } else {
        const HANDLE handles[] = {thread, stop};
        while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
            if (Application.Terminated() || Signalled(stop)) {
                // A WinHTTP request in progress cannot be cut short everywhere (Wine waits for
                // its time-out): the worker ends on its own, or with the process.
                CloseHandle(thread);
                return TSignInFailure::Canceled;
            }
            Application.WaitForMessageOrHandles(stop ? 2 : 1, handles, INFINITE);
            Application.ProcessMessages();
        }
        CloseHandle(thread);
    }
    detail = job->Outcome.Detail;
    if (job->Outcome.Failure != TSignInFailure::None) return job->Outcome.Failure;
    TTokenResponse& tokens = job->Outcome.Tokens;
    FAccess = TSecret(std::move(tokens.AccessToken));
    FExpires = Now() + ULONGLONG(tokens.ExpiresIn) * kSecond;
    token = FAccess;
    return TSignInFailure::None;
}

bool TAccountTokens::SignedIn() const { return ReadCredential(FTarget).has_value(); }

void TAccountTokens::Forget() {
    FAccess.Wipe();
    DeleteCredential(FTarget);
}
