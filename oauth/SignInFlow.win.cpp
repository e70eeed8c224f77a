#include "oauth/SignInFlow.win.h"

#include <shellapi.h>

#include <memory>

#include "framework/SystemLibrary.win.h"
#include "oauth/HttpsPost.win.h"
#include "oauth/LoopbackRedirect.win.h"
#include "oauth/SystemRandom.win.h"

namespace {

bool RandomPart(std::string& text) {
    std::uint8_t bytes[32];
    if (!SystemRandom(bytes, sizeof bytes)) return false;
    text = RandomText(bytes, sizeof bytes);
    SecureZeroMemory(bytes, sizeof bytes);
    return true;
}

}  // namespace

bool OpenInBrowser(const std::string& url) {
    static const auto shellExecute = [] {
        HMODULE shell = LoadSystemLibrary("shell32.dll");
        return shell ? reinterpret_cast<decltype(&ShellExecuteA)>(reinterpret_cast<void (*)()>(
                           GetProcAddress(shell, "ShellExecuteA")))
                     : nullptr;
    }();
    // The result is greater than 32 on success.
    return shellExecute && reinterpret_cast<INT_PTR>(shellExecute(nullptr, "open", url.c_str(),
                                                                   nullptr, nullptr,
                                                                   SW_SHOWNORMAL)) > 32;
}

TSignInFlow::TSignInFlow(TOAuthClient client, std::string loginHint, TLauncher launch,
                         std::string pageSentence, std::function<void()> done)
    : FClient(std::move(client)), FLoginHint(std::move(loginHint)), FLaunch(std::move(launch)),
      FPageSentence(std::move(pageSentence)), FDone(std::move(done)) {}

TSignInFlow::~TSignInFlow() {
    if (FThread) {
        SetEvent(FStop);
        WaitForSingleObject(FThread, INFINITE);
        CloseHandle(FThread);
    }
    if (FStop) CloseHandle(FStop);
    delete FListener;
    Wipe(FVerifier);
    Wipe(FOutcome.Tokens.AccessToken);
    Wipe(FOutcome.Tokens.RefreshToken);
}

bool TSignInFlow::Start() {
    if (FClient.ClientId.empty()) {
        FOutcome.Failure = TSignInFailure::NoClientId;
        return false;
    }
    FListener = new TLoopbackRedirect;
    FStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!FListener->Listening() || !FStop || !RandomPart(FState) || !RandomPart(FVerifier)) {
        FOutcome.Failure = TSignInFailure::NoListener;
        return false;
    }
    FRedirectUri = LoopbackRedirectUri(FListener->Port());
    // The thread first, so that the redirect finds its listener served however fast it comes.
    FThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!FThread) {
        FOutcome.Failure = TSignInFailure::NoListener;
        return false;
    }
    if (!FLaunch(AuthorizationUrl(FClient, FRedirectUri, FState, CodeChallenge(FVerifier),
                                  FLoginHint))) {
        SetEvent(FStop);
        WaitForSingleObject(FThread, INFINITE);
        CloseHandle(FThread);
        FThread = nullptr;
        FOutcome = TSignInOutcome{};
        FOutcome.Failure = TSignInFailure::NoBrowser;
        return false;
    }
    return true;
}

DWORD WINAPI TSignInFlow::ThreadProc(LPVOID self) {
    static_cast<TSignInFlow*>(self)->Run();
    return 0;
}

void TSignInFlow::Run() {
    TRedirect redirect;
    if (!FListener->Wait(FStop, FPageSentence, redirect)) return;  // stopped: nobody waits
    if (redirect.State != FState) {
        FOutcome.Failure = TSignInFailure::StateMismatch;
    } else if (!redirect.Error.empty()) {
        FOutcome.Failure = TSignInFailure::Denied;
        FOutcome.Detail = redirect.ErrorDescription.empty() ? redirect.Error
                                                            : redirect.ErrorDescription;
    } else {
        std::string body = CodeExchangeBody(FClient, redirect.Code, FRedirectUri, FVerifier);
        THttpsAnswer answer = HttpsPost(FClient.TokenEndpoint, body);
        Wipe(body);
        Wipe(redirect.Code);
        if (!answer.Answered) {
            FOutcome.Failure = TSignInFailure::Unreachable;
            FOutcome.Detail = answer.Failure;
        } else {
            switch (ReadTokenAnswer(answer.Status, answer.Body, FOutcome.Tokens)) {
            case TTokenVerdict::Granted:
                if (FOutcome.Tokens.RefreshToken.empty())
                    FOutcome.Failure = TSignInFailure::BadAnswer;
                break;
            case TTokenVerdict::Refused:
                FOutcome.Failure = TSignInFailure::Denied;
                FOutcome.Detail = FOutcome.Tokens.ErrorDescription.empty()
                                      ? FOutcome.Tokens.Error
                                      : FOutcome.Tokens.ErrorDescription;
                break;
            case TTokenVerdict::Malformed: FOutcome.Failure = TSignInFailure::BadAnswer; break;
            }
            Wipe(answer.Body);
        }
    }
    FDone();
}
