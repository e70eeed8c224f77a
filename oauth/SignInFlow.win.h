#pragma once
// One browser sign-in: the authorization code flow with PKCE and a loopback redirect. Start runs
// on the user-interface thread (it opens the browser); the wait for the redirect and the code
// exchange run on a thread of the flow's own, which reports the end through Done, from that
// thread: Done may only post. Destroying the flow stops the wait and joins the thread.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Wipe.win.h"

#include "oauth/OAuthProvider.h"
#include "oauth/TokenAnswer.h"

enum class TSignInFailure {
    None,
    NoClientId,      // neither the build nor the settings give an application ID
    NoListener,      // no loopback socket, random bytes or thread could be had
    NoBrowser,       // the browser could not be opened
    Denied,          // the provider or the user refused: Detail holds the provider's words
    StateMismatch,   // a redirect that belongs to no sign-in of ours
    Unreachable,     // the token endpoint could not be reached: Detail says why
    BadAnswer,       // the token endpoint's answer was no token
    Canceled,        // a renewal was stopped (the check was cancelled, the program is ending)
};

struct TSignInOutcome {
    TSignInFailure Failure = TSignInFailure::None;
    std::string Detail;
    TTokenResponse Tokens;  // on success: the access token, its lifetime and the refresh token
};

class TSignInFlow {
public:
    // Opens the URL in the user's browser; false when it could not.
    using TLauncher = std::function<bool(const std::string& url)>;

    // pageSentence: what the browser shows once the redirect has arrived.
    TSignInFlow(TOAuthClient client, std::string loginHint, TLauncher launch,
                std::string pageSentence, std::function<void()> done);
    ~TSignInFlow();
    TSignInFlow(const TSignInFlow&) = delete;
    TSignInFlow& operator=(const TSignInFlow&) = delete;

    // False when the flow ended at once (Outcome says why; Done is not called).
    bool Start();
    // Complete once Done has been called, or Start has returned false.
    TSignInOutcome& Outcome() { return FOutcome; }

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    void Run();

    TOAuthClient FClient;
    std::string FLoginHint;
    TLauncher FLaunch;
    std::string FPageSentence;
    std::function<void()> FDone;
    std::string FState;
    std::string FVerifier;
    std::string FRedirectUri;
    class TLoopbackRedirect* FListener = nullptr;
    HANDLE FStop = nullptr;
    HANDLE FThread = nullptr;
    TSignInOutcome FOutcome;
};

// The browser launch of a real run: the shell's ShellExecute, bound from the system folder.
bool OpenInBrowser(const std::string& url);
