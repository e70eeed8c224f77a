// Runs one count job against a POP3 server on any port and prints its outcome on one line:
//   OK <count> | ERROR <kind number> <message> | EXCEPTION <class> <message>
// Exit code 0 on OK, 1 otherwise, 2 on wrong usage. A test tool; never shipped.
//
//   mailcount.exe HOST PORT USER PASSWORD [TIMEOUT_SECONDS [plain|stls|tls]]
//                 [--auth=user|plain|xoauth2|oauthbearer] [--seen=FILE [--preview=N]]
// For xoauth2 and oauthbearer, PASSWORD is the access token.
//
// HOST is written as the server address setting is: a name, a dotted or an IPv6 address
// ("::1"), optionally with ":port" ("[::1]:995" for IPv6). PORT 0 takes the port from HOST, or
// without one from the service entry.
//
// --seen reads the IDs seen from FILE (as the program keeps them), asks UIDL and prints
// "NEW <n>" before the last line, then writes every current ID to FILE. --preview prints up to
// N lines "MSG<TAB><From><TAB><Subject>" (UTF-8) before it, the newest message first.

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "framework/Application.win.h"
#include "framework/Convert.h"
#include "framework/Exception.h"
#include "mailbase/MailBase.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "app/SeenStore.win.h"

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

// The sign-in named by an "--auth=" value; false for any other.
bool AuthNamed(const std::string& name, TPop3Auth& auth) {
    const std::pair<const char*, TPop3Auth> names[] = {{"user", paUserPass},
                                                       {"plain", paPlain},
                                                       {"xoauth2", paXOAuth2},
                                                       {"oauthbearer", paOAuthBearer}};
    for (const auto& [text, value] : names) {
        if (name == text) {
            auth = value;
            return true;
        }
    }
    return false;
}

// The options after the positional arguments; false for one it does not know.
bool ReadOptions(int argc, char** argv, int& positional, TPop3Auth& auth, std::string& seen,
                 int& preview) {
    positional = argc;
    while (positional > 1 && std::strncmp(argv[positional - 1], "--", 2) == 0) --positional;
    for (int i = positional; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.rfind("--auth=", 0) == 0) {
            if (!AuthNamed(option.substr(7), auth)) return false;
        } else if (option.rfind("--seen=", 0) == 0 && option.size() > 7) {
            seen = option.substr(7);
        } else if (option.rfind("--preview=", 0) == 0) {
            preview = StrToInt(option.substr(10));
        } else {
            return false;
        }
    }
    return preview >= 0 && (preview == 0 || !seen.empty());
}

}  // namespace

int main(int argc, char** argv) {
    TSecurityMode mode = smNone;
    TPop3Auth auth = paUserPass;
    int positional = argc, preview = 0;
    std::string seenFile;
    bool optionsRead = false;
    try {
        optionsRead = ReadOptions(argc, argv, positional, auth, seenFile, preview);
    } catch (const EConvertError&) {
    }
    // An option of another name or value is wrong usage, not a time-out or a mode.
    if (!optionsRead || positional < 5 || positional > 7 ||
        (positional == 7 && !ModeNamed(argv[6], mode))) {
        std::fprintf(stderr,
                     "usage: mailcount HOST PORT USER PASSWORD [TIMEOUT_SECONDS "
                     "[plain|stls|tls]] [--auth=user|plain|xoauth2|oauthbearer] "
                     "[--seen=FILE [--preview=N]]\n");
        return 2;
    }
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();

    int result = 1;
    try {
        TMailMessageCount job;
        job.SetAccount(argv[1], argv[3], argv[4]);
        job.PortOverride = static_cast<std::uint16_t>(StrToInt(argv[2]));
        if (positional >= 6) job.TimeOut = StrToInt(argv[5]);
        job.Security = mode;
        job.Auth = auth;
        job.OnlyNew = !seenFile.empty();
        job.Previews = static_cast<std::size_t>(preview);
        if (job.OnlyNew) job.Seen = LoadSeenIds(seenFile);
        job.OnSuccess = [&](IMailCountJob*, std::int32_t count) {
            if (job.OnlyNew) {
                const auto& newest = job.News.Newest;
                for (std::size_t i = 0; i < newest.size() && i < static_cast<std::size_t>(preview);
                     ++i)
                    std::printf("MSG\t%s\t%s\n", newest[i].From.c_str(), newest[i].Subject.c_str());
                // A server without UIDL tells nothing new; "NEW" then stands for every message.
                std::printf("NEW %d\n", static_cast<int>(job.News.Supported ? job.News.Count : count));
                if (job.News.Supported) SaveSeenIds(seenFile, job.News.CurrentIds);
            }
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
