#include "app/RefusalAdvice.h"

#include <cctype>

#include "resources/resource.h"

namespace {

struct TKnownRefusal {
    const char* Text;
    // The refusal means this only from a server whose name ends so; "" for any server.
    const char* ServerSuffix;
    TRefusalAdvice Advice;
};

// Microsoft's line for a password is the one it gives for a wrong password, so it is matched
// on Microsoft's own server only, where no password is taken any more.
const TKnownRefusal kRefusals[] = {
    {"application-specific password required", "", {IDS_ADVICE_APPPASSWORD, "app-password"}},
    {"web login required", "", {IDS_ADVICE_WEBLOGIN, "web-login"}},
    {"basicauthblocked", "", {IDS_ADVICE_MICROSOFT, "microsoft-account"}},
    {"basic authentication is disabled", "", {IDS_ADVICE_MICROSOFT, "microsoft-account"}},
    {"logon failure: unknown user name or bad password", ".office365.com",
     {IDS_ADVICE_MICROSOFT, "microsoft-account"}},
    {"logon failure: unknown user name or bad password", ".outlook.com",
     {IDS_ADVICE_MICROSOFT, "microsoft-account"}},
    {"pop3 not enabled", "", {IDS_ADVICE_POPNOTENABLED, "pop-not-enabled"}},
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

const TRefusalAdvice* AdviceForRefusal(const std::string& reply, const std::string& server) {
    const std::string line = Lower(reply);
    // The host alone: a port after a colon does not count.
    const std::string host = "." + Lower(server.substr(0, server.find(':')));
    for (const TKnownRefusal& known : kRefusals)
        if (line.find(known.Text) != std::string::npos && EndsWith(host, known.ServerSuffix))
            return &known.Advice;
    return nullptr;
}

std::string HelpSectionAddress(const std::string& documentPath, const std::string& section) {
    std::string address = "file:///";
    for (char c : documentPath) {
        if (c == '\\') address += '/';
        else if (c == ' ') address += "%20";
        else if (c == '%') address += "%25";
        else if (c == '#') address += "%23";
        else address += c;
    }
    return address + "#" + section;
}
