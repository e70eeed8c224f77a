#pragma once
// The texts of the authorization code flow with PKCE and a loopback redirect: what goes to the
// browser, to the token endpoint and back to the browser, and what comes back in the redirect.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Base64 with the URL alphabet and no padding.
std::string Base64Url(const std::uint8_t* data, std::size_t size);

// Percent-encoding that leaves only the unreserved characters as they are.
std::string PercentEncode(const std::string& text);

using TParameters = std::vector<std::pair<std::string, std::string>>;

// Adds name=value to a query or a form body, "&" between fields, both sides percent-encoded.
// One call per field rather than a list of pairs: the list's temporary strings cost the shipped
// program several kilobytes.
void AddFormField(std::string& form, const char* name, const std::string& value);

// The code challenge of a verifier with the S256 method.
std::string CodeChallenge(const std::string& verifier);

// A verifier or a state from random bytes: their base64url text (32 bytes give the 43
// characters that a verifier needs at least).
std::string RandomText(const std::uint8_t* random, std::size_t size);

// "http://127.0.0.1:<port>/", the redirect URI of a listener on that port.
std::string LoopbackRedirectUri(std::uint16_t port);

// What the browser brought to the loopback listener.
struct TRedirect {
    std::string Code;
    std::string State;
    std::string Error;
    std::string ErrorDescription;
};

// Reads the request line of the redirect ("GET /?code=...&state=... HTTP/1.1"). False when it is
// not a GET of the root path with a query; values are percent-decoded, "+" read as a blank.
bool ParseRedirectRequest(const std::string& requestLine, TRedirect& redirect);

// The whole answer to the browser: a short HTML page with this sentence.
std::string RedirectAnswer(const std::string& sentence);
