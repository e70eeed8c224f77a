// The capability list as a server sends it, and the SASL responses built from any user name and
// secret: no crash, and Base64 of the right length and alphabet.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mailbase/MailErrors.h"
#include "mailbase/Pop3/Sasl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines(1);
    for (char c : input) {
        if (c == '\n') lines.emplace_back();
        else lines.back() += c;
    }
    for (TPop3Auth auth : {paPlain, paXOAuth2, paOAuthBearer})
        CapaListsMechanism(lines, SaslMechanismName(auth));

    const std::size_t half = size / 2;
    for (TPop3Auth auth : {paPlain, paXOAuth2, paOAuthBearer}) {
        std::string response;
        try {
            response = SaslResponse(auth, input.substr(0, half), input.substr(half), "host", 995);
        } catch (const EMailError&) {
            continue;
        }
        const std::string encoded = Base64Encode(response);
        if (encoded.size() != (response.size() + 2) / 3 * 4) std::abort();
        const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
        if (encoded.find_first_not_of(alphabet) != std::string::npos) std::abort();
        if (AuthCommand(auth, encoded).find_first_of("\r\n") != std::string::npos) std::abort();
    }
    return 0;
}
