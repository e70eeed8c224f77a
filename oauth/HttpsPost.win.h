#pragma once
// A form POST to an https endpoint through the system's WinHTTP, bound from the system folder
// when first used. TLS 1.2 or later, and the certificate checked by the system: a certificate it
// does not trust ends the request. Blocks the calling thread: never the user-interface thread.

#include <string>

struct THttpsAnswer {
    // False when no answer came (no connection, refused certificate, time-out, or an answer
    // beyond the size limit); Failure then says why.
    bool Answered = false;
    unsigned long Status = 0;
    std::string Body;
    std::string Failure;
};

THttpsAnswer HttpsPost(const std::string& url, const std::string& formBody);
