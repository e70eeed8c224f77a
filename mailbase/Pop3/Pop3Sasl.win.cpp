// The SASL sign-in of the POP3 dialogue: CAPA, then AUTH with one response per server prompt.

#include "mailbase/Pop3/Pop3.win.h"

#include "framework/Secret.h"
#include "mailbase/MailErrors.h"

namespace {

// More capability lines than any server has; a server that goes on is not answering CAPA.
constexpr std::size_t kMaxCapaLines = 100;

}  // namespace

std::vector<std::string> TPOP3::Capabilities() {
    std::string reply;
    SendLine("CAPA");
    try {
        ReadReply(reply);
    } catch (const EMailError&) {
        return {};
    }
    std::vector<std::string> lines;
    for (;;) {
        WaitForData();
        ReadLine(reply, true);
        if (reply == ".") return lines;
        if (lines.size() == kMaxCapaLines)
            throw EMailError("The mail server sent a capability list that is too long.");
        // A line that begins with "." has one more in front of it.
        lines.push_back(reply[0] == '.' ? reply.substr(1) : reply);
    }
}

// A prompt that follows the response carries the server's refusal (for the OAuth mechanisms,
// of the token); the exchange is ended with the dummy response so that the server sends its
// -ERR line now rather than at its time-out.
void TPOP3::Authenticate() {
    TokenRefused = false;
    const char* mechanism = SaslMechanismName(Auth);
    if (!CapaListsMechanism(Capabilities(), mechanism))
        throw EMailError("The mail server does not accept this sign-in method.");
    const TSecret response(
        Base64Encode(TSecret(SaslResponse(Auth, UserName, Password, Server, Port)).Value()));
    const TSecret command(AuthCommand(Auth, response.Value()));
    const bool onAuthLine = ResponseOnAuthLine(command.Value());
    const std::string shown = std::string("AUTH ") + mechanism;
    SendSecretLine(command.Value(), onAuthLine ? shown + " ****" : shown);
    std::string reply;
    ReadReply(reply);
    if (!onAuthLine && IsContinuation(reply)) {
        SendSecretLine(response.Value(), "****");
        ReadReply(reply);
    }
    if (!IsContinuation(reply)) return;
    TokenRefused = IsTokenAuth(Auth);
    SendLine(SaslAbortResponse(Auth));
    ReadReply(reply);
    if (IsContinuation(reply)) throw EMailError(reply);
}

void TPOP3::SendSecretLine(const std::string& text, const std::string& shown) {
    SendLine(text);
    Transcript.back() = shown;
}
