// Runs one count job against a POP3 server on any port and prints its outcome on one line:
//   OK <count> | ERROR <kind number> <message> | EXCEPTION <class> <message>
// Exit code 0 on OK, 1 otherwise, 2 on wrong usage. A test tool; never shipped.
//
//   mailcount.exe HOST PORT USER PASSWORD [TIMEOUT_SECONDS [plain|stls|tls]]
//                 [--auth=user|plain|xoauth2|oauthbearer]
// For xoauth2 and oauthbearer, PASSWORD is the access token.
//
// HOST is written as the server address setting is: a name, a dotted or an IPv6 address
// ("::1"), optionally with ":port" ("[::1]:995" for IPv6). PORT 0 takes the port from HOST, or
// without one from the service entry.

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "framework/Application.win.h"
#include "framework/Convert.h"
#include "framework/Exception.h"
#include "mailbase/MailBase.win.h"
#include "mailbase/MailMessageCount.win.h"

namespace {

// The mode named by the sixth argument; false for a name of no mode.
bool ModeNamed(const char* name, TSecurityMode& mode) {
    const std::pair<const char*, TSecurityMode> names[] = {
        {"plain", smNone}, {"stls", smSTLS}, {"tls", smTLS}};
    for (const auto& [text, value] : names) {
        if (std::strcmp(name, text) == 0) {
            mode = value;
            return true;
        }
    }
    return false;
}

// The sign-in named by an "--auth=" argument; false for any other argument.
bool AuthNamed(const char* argument, TPop3Auth& auth) {
    const std::pair<const char*, TPop3Auth> names[] = {{"--auth=user", paUserPass},
                                                       {"--auth=plain", paPlain},
                                                       {"--auth=xoauth2", paXOAuth2},
                                                       {"--auth=oauthbearer", paOAuthBearer}};
    for (const auto& [text, value] : names) {
        if (std::strcmp(argument, text) == 0) {
            auth = value;
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    TSecurityMode mode = smNone;
    TPop3Auth auth = paUserPass;
    if (argc > 5 && AuthNamed(argv[argc - 1], auth)) --argc;
    // An option of another name or value is wrong usage, not a time-out or a mode.
    if (argc < 5 || argc > 7 || (argc == 7 && !ModeNamed(argv[6], mode)) ||
        (argc > 5 && std::strncmp(argv[argc - 1], "--", 2) == 0)) {
        std::fprintf(stderr,
                     "usage: mailcount HOST PORT USER PASSWORD [TIMEOUT_SECONDS "
                     "[plain|stls|tls]] [--auth=user|plain|xoauth2|oauthbearer]\n");
        return 2;
    }
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();

    int result = 1;
    try {
        TMailMessageCount job;
        job.SetAccount(argv[1], argv[3], argv[4]);
        job.PortOverride = static_cast<std::uint16_t>(StrToInt(argv[2]));
        if (argc >= 6) job.TimeOut = StrToInt(argv[5]);
        job.Security = mode;
        job.Auth = auth;
        job.OnSuccess = [&](IMailCountJob*, std::int32_t count) {
            std::printf("OK %d\n", static_cast<int>(count));
            result = 0;
        };
        job.OnError = [](IMailCountJob*, const std::string& message, TMailErrorKind kind) {
            std::printf("ERROR %d %s\n", static_cast<int>(kind), message.c_str());
        };
        job.Run();
    } catch (const EConvertError& e) {
        std::printf("EXCEPTION EConvertError %s\n", e.what());
    } catch (const std::exception& e) {
        std::printf("EXCEPTION Exception %s\n", e.what());
    }
    Application.Destroy();
    return result;
}
