#pragma once
// The SASL side of a POP3 sign-in (AUTH): the mechanisms' first responses, the AUTH line, the
// capability list that says which mechanisms a server takes, and the Base64 they travel in.

#include <cstdint>
#include <string>
#include <vector>

enum TPop3Auth : std::uint8_t {
    paUserPass = 0,    // USER and PASS, no AUTH at all
    paPlain = 1,       // AUTH PLAIN: user name and password
    paXOAuth2 = 2,     // AUTH XOAUTH2: user name and an OAuth access token
    paOAuthBearer = 3  // AUTH OAUTHBEARER: the same, in the standard's framing
};

// The name of the mechanism on the AUTH line and in the capability list; "" for paUserPass.
const char* SaslMechanismName(TPop3Auth auth);

// Whether the mechanism's secret is an OAuth access token rather than a password.
bool IsTokenAuth(TPop3Auth auth);

// The mechanism's response before Base64, for the user and the password or access token.
// OAUTHBEARER names the server's host and port beside the token. Raises EMailError for a
// user name or secret that cannot be framed (a zero byte in PLAIN, a ^A in the OAuth forms).
std::string SaslResponse(TPop3Auth auth, const std::string& user, const std::string& secret,
                         const std::string& host, std::uint16_t port);

// The AUTH line for the encoded response. PLAIN puts it on the line when the line stays within
// the 255 octets a server must accept, else it waits for the server's prompt; the OAuth
// mechanisms always wait for the prompt, which Microsoft's server insists on and every other
// server allows.
std::string AuthCommand(TPop3Auth auth, const std::string& encodedResponse);
// Whether AuthCommand put the response on the line already.
bool ResponseOnAuthLine(const std::string& authCommand);

// What answers a second prompt, which carries the server's error: the mechanism's dummy
// response for the OAuth forms, the cancel ("*") otherwise. Either way the server then ends
// the exchange with its -ERR line.
std::string SaslAbortResponse(TPop3Auth auth);

// A server's prompt for more: "+" and a space, then an optional challenge.
bool IsContinuation(const std::string& reply);

// Whether the lines of a CAPA reply (after its +OK, without the final ".") list the mechanism
// under SASL. Capability names are case-insensitive.
bool CapaListsMechanism(const std::vector<std::string>& capaLines, const std::string& mechanism);

std::string Base64Encode(const std::string& bytes);
