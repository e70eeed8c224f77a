#include "oauth/AccountTokens.win.h"

#include "framework/Application.win.h"
#include "framework/Credentials.win.h"
#include "oauth/TokenRefresh.win.h"

namespace {

ULONGLONG Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

constexpr ULONGLONG kSecond = 10000000;

struct TRefreshJob {
    const TOAuthClient* Client;
    const std::string* RefreshToken;
    TSignInOutcome Outcome;
    static DWORD WINAPI Run(LPVOID self) {
        auto* job = static_cast<TRefreshJob*>(self);
        job->Outcome = RefreshAccessToken(*job->Client, *job->RefreshToken);
        return 0;
    }
};

}  // namespace

void TAccountTokens::Keep(const std::string& account, TTokenResponse& tokens) {
    WriteCredential(FTarget, account, TSecret(std::move(tokens.RefreshToken)));
    FAccess = TSecret(std::move(tokens.AccessToken));
    FExpires = Now() + ULONGLONG(tokens.ExpiresIn) * kSecond;
    Wipe(tokens.RefreshToken);
    Wipe(tokens.AccessToken);
}

TSignInFailure TAccountTokens::AccessToken(const TOAuthClient& client, bool renew,
                                           TSecret& token, std::string& detail) {
    if (!renew && !FAccess.Empty() && Now() + TokenExpiryMarginSeconds * kSecond < FExpires) {
        token = FAccess;
        return TSignInFailure::None;
    }
    FAccess.Wipe();
    const std::optional<TSecret> refresh = ReadCredential(FTarget);
    if (!refresh) return TSignInFailure::Denied;
    // The request blocks; the user-interface thread keeps its messages flowing meanwhile.
    TRefreshJob job{&client, &refresh->Value(), {}};
    HANDLE thread = CreateThread(nullptr, 0, TRefreshJob::Run, &job, 0, nullptr);
    if (!thread) {
        job.Outcome = RefreshAccessToken(client, refresh->Value());
    } else {
        while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
            Application.WaitForMessageOrHandles(1, &thread, INFINITE);
            Application.ProcessMessages();
        }
        CloseHandle(thread);
    }
    detail = job.Outcome.Detail;
    if (job.Outcome.Failure != TSignInFailure::None) return job.Outcome.Failure;
    // A provider may hand out a new refresh token with the access token; the old one then ends.
    if (!job.Outcome.Tokens.RefreshToken.empty() &&
        job.Outcome.Tokens.RefreshToken != refresh->Value()) {
        Keep(std::string(), job.Outcome.Tokens);
    } else {
        FAccess = TSecret(std::move(job.Outcome.Tokens.AccessToken));
        FExpires = Now() + ULONGLONG(job.Outcome.Tokens.ExpiresIn) * kSecond;
    }
    token = FAccess;
    return TSignInFailure::None;
}

bool TAccountTokens::SignedIn() const { return ReadCredential(FTarget).has_value(); }

void TAccountTokens::Forget() {
    FAccess.Wipe();
    DeleteCredential(FTarget);
}
