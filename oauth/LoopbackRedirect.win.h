#pragma once
// The listener for the one redirect of a sign-in: a TCP socket on 127.0.0.1 at a port the system
// picks. It takes connections until one brings the redirect's request line, answers that one
// with a short page and every other one (a browser's icon request, say) with "404".

#include <windows.h>

#include <cstdint>
#include <string>

#include "oauth/OAuthText.h"

class TLoopbackRedirect {
public:
    // Listens at once; Listening() is false when no socket could be had.
    TLoopbackRedirect();
    ~TLoopbackRedirect();
    TLoopbackRedirect(const TLoopbackRedirect&) = delete;
    TLoopbackRedirect& operator=(const TLoopbackRedirect&) = delete;

    bool Listening() const { return FListening; }
    std::uint16_t Port() const { return FPort; }

    // Waits for the redirect, or until stop is signalled (false). The browser's answer is the
    // page with the sentence. Blocks: on a worker thread.
    bool Wait(HANDLE stop, const std::string& sentence, TRedirect& redirect);

private:
    bool Serve(std::uintptr_t connection, HANDLE stop, const std::string& sentence,
               TRedirect& redirect);

    bool FStarted = false;
    bool FListening = false;
    std::uintptr_t FSocket;
    HANDLE FEvent = nullptr;
    std::uint16_t FPort = 0;
};
