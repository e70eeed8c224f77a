// The portable half of the account sign-in: the PKCE challenge, the texts sent to the browser and
// the token endpoint, the redirect that comes back, the token response and the provider data.

#include "oauth/OAuthProvider.h"
#include "oauth/OAuthText.h"
#include "oauth/Sha256.h"
#include "oauth/TokenAnswer.h"
#include "oauth/TokenResponse.h"
#include "settings/BMRegistry.h"
#include "tests/unit/MemoryKeyStore.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string Hex(const std::array<std::uint8_t, 32>& digest) {
    std::string text;
    char two[3];
    for (std::uint8_t b : digest) {
        std::snprintf(two, sizeof two, "%02x", b);
        text += two;
    }
    return text;
}

}  // namespace

TEST(OAuthText, Sha256AndTheCodeChallengeOfThePkceExample) {
    // FIPS 180-2's examples; the last one needs a second block for its length.
    EXPECT_EQ(Hex(Sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(Sha256("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Hex(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(CodeChallenge("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"),
              "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST(OAuthText, Base64UrlWithoutPaddingAndPercentEncoding) {
    const std::uint8_t bytes[] = {0xfb, 0xff, 0xbf, 'a', 'b'};
    EXPECT_EQ(Base64Url(bytes, 3), "-_-_");
    EXPECT_EQ(Base64Url(bytes, 4), "-_-_YQ");
    EXPECT_EQ(Base64Url(bytes, 5), "-_-_YWI");
    EXPECT_EQ(PercentEncode("a-Z_0.~ /:+&=\xc3\xa9"), "a-Z_0.~%20%2F%3A%2B%26%3D%C3%A9");
}

TEST(OAuthText, RedirectRequests) {
    struct Case {
        const char* line;
        bool accepted;
        const char* code;
        const char* state;
        const char* error;
    };
    const Case cases[] = {
        {"GET /?code=abc&state=xyz HTTP/1.1", true, "abc", "xyz", ""},
        {"GET /?state=x%2By+z&code=a%2Fb&other=1 HTTP/1.0", true, "a/b", "x+y z", ""},
        {"GET /?error=access_denied&state=s HTTP/1.1", true, "", "s", "access_denied"},
        {"GET /?code=abc&state=%zz HTTP/1.1", false, "", "", ""},
        {"GET /?code=abc&state=%4 HTTP/1.1", false, "", "", ""},
        {"GET /favicon.ico HTTP/1.1", false, "", "", ""},
        {"POST /?code=abc HTTP/1.1", false, "", "", ""},
        {"GET /?code=abc", false, "", "", ""},
        {"", false, "", "", ""},
    };
    for (const Case& c : cases) {
        TRedirect r;
        EXPECT_EQ(ParseRedirectRequest(c.line, r), c.accepted) << c.line;
        EXPECT_EQ(r.Code, c.code) << c.line;
        EXPECT_EQ(r.State, c.state) << c.line;
        EXPECT_EQ(r.Error, c.error) << c.line;
    }
}

TEST(TokenResponse, ReadsTheMembersAndRefusesWhatIsNotSoundJson) {
    struct Case {
        std::string body;
        bool accepted;
        const char* access;
        std::int64_t expiresIn;
    };
    const Case cases[] = {
        {R"({"token_type":"Bearer","expires_in":3599,"access_token":"a.b-c",)"
         R"("refresh_token":"r","scope":"x","ext":{"n":[1,-2.5e3,true,null,{}]}})",
         true, "a.b-c", 3599},
        {R"( {"access_token":"\u00e9\ud83d\ude00\"\\\/\n","expires_in":"60"} )", true,
         "\xc3\xa9\xf0\x9f\x98\x80\"\\/\n", 60},
        {R"({})", true, "", -1},
        {R"({"access_token":"\ud83d"})", false, "", -1},         // lone high surrogate
        {R"({"access_token":"\ude00"})", false, "", -1},         // lone low surrogate
        {R"({"access_token":"\u0000"})", false, "", -1},         // a zero inside a token
        {"{\"access_token\":\"\xc0\xaf\"}", false, "", -1},      // overlong UTF-8
        {"{\"access_token\":\"\xed\xa0\x80\"}", false, "", -1},  // encoded surrogate
        {"{\"access_token\":\"a\nb\"}", false, "", -1},          // raw control character
        {R"({"access_token":1})", false, "", -1},
        {R"({"expires_in":-5})", false, "", -1},
        {R"({"expires_in":1.5})", false, "", -1},
        {R"({"expires_in":"9999999999999"})", false, "", -1},
        {R"({"access_token":"a",})", false, "", -1},
        {R"({"access_token":"a"} x)", false, "", -1},
        {R"({"access_token":"a")", false, "", -1},
        {R"(["access_token"])", false, "", -1},
        {R"({"x":01})", false, "", -1},
        {R"({"x":tru})", false, "", -1},
        {"{\"x\":" + std::string(17, '[') + std::string(17, ']') + "}", false, "", -1},
        {"{\"x\":" + std::string(15, '[') + std::string(15, ']') + "}", true, "", -1},
        {"{\"access_token\":\"" + std::string(MaxTokenResponseSize, 'a') + "\"}", false, "", -1},
    };
    for (const Case& c : cases) {
        TTokenResponse r;
        r.AccessToken = "stale";
        EXPECT_EQ(ParseTokenResponse(c.body, r), c.accepted) << c.body.substr(0, 80);
        EXPECT_EQ(r.AccessToken, c.access) << c.body.substr(0, 80);
        EXPECT_EQ(r.ExpiresIn, c.expiresIn) << c.body.substr(0, 80);
    }
    TTokenResponse refused;
    ASSERT_TRUE(ParseTokenResponse(
        R"({"error":"invalid_grant","error_description":"AADSTS70008: expired"})", refused));
    EXPECT_EQ(refused.Error, "invalid_grant");
    EXPECT_EQ(refused.ErrorDescription, "AADSTS70008: expired");
}

TEST(TokenResponse, WhatAnAnswerGrants) {
    struct Case {
        unsigned long status;
        const char* body;
        TTokenVerdict verdict;
    };
    const Case cases[] = {
        {200, R"({"access_token":"a","token_type":"bearer","expires_in":60})", TTokenVerdict::Granted},
        {200, R"({"access_token":"a","token_type":"mac","expires_in":60})", TTokenVerdict::Malformed},
        {200, R"({"access_token":"a","token_type":"Bearer"})", TTokenVerdict::Malformed},
        {200, R"({"access_token":"","token_type":"Bearer","expires_in":60})",
         TTokenVerdict::Malformed},
        {500, R"({"access_token":"a","token_type":"Bearer","expires_in":60})",
         TTokenVerdict::Malformed},
        {400, R"({"error":"invalid_grant"})", TTokenVerdict::Refused},
        {400, "<html>Bad Request</html>", TTokenVerdict::Malformed},
    };
    for (const Case& c : cases) {
        TTokenResponse r;
        EXPECT_EQ(ReadTokenAnswer(c.status, c.body, r), c.verdict) << c.status << c.body;
    }
}

TEST(OAuthProvider, SettingsInPlaceOfTheBuiltInDataOnlyOverHttpsAndTheTextsSent) {
    auto registry = std::make_shared<MemoryRegistry>();
    TBMRegistry settings(std::make_unique<MemoryKeyStore>(registry), "Software\\Test");
    const TMailboxSetting setting = [&](const std::string& name) {
        return settings.ReadString("Mailbox", name.c_str(), "");
    };
    const TOAuthClient builtIn = OAuthClientFor(TAccountProvider::Google, setting);
    EXPECT_EQ(builtIn.ClientId, "");  // nobody's ID is borrowed

    settings.WriteString("Mailbox", "OAuth Client ID", "org-client");
    settings.WriteString("Mailbox", "OAuth Authorization Endpoint", "http://evil.invalid/a");
    settings.WriteString("Mailbox", "OAuth Token Endpoint", "https://localhost:8443/token");
    const TOAuthClient google = OAuthClientFor(TAccountProvider::Google, setting);
    EXPECT_EQ(google.AuthorizationEndpoint, builtIn.AuthorizationEndpoint);
    EXPECT_EQ(google.TokenEndpoint, "https://localhost:8443/token");
    EXPECT_EQ(google.ClientId, "org-client");

    // An organisation's endpoint may carry a query of its own.
    const TOAuthClient client{"https://id.example/authorize?tenant=t", "https://id.example/token",
                              "mail offline", "org-client", {{"access_type", "offline"}}};
    EXPECT_EQ(AuthorizationUrl(client, "http://127.0.0.1:5000/", "st", "ch", "a@b.example"),
              "https://id.example/authorize?tenant=t&response_type=code&client_id=org-client"
              "&redirect_uri=http%3A%2F%2F127.0.0.1%3A5000%2F&scope=mail%20offline"
              "&state=st&code_challenge=ch&code_challenge_method=S256&login_hint=a%40b.example"
              "&access_type=offline");
    EXPECT_EQ(CodeExchangeBody(client, "c/1", "http://127.0.0.1:5000/", "v"),
              "grant_type=authorization_code&client_id=org-client&code=c%2F1"
              "&redirect_uri=http%3A%2F%2F127.0.0.1%3A5000%2F&code_verifier=v");
    EXPECT_EQ(RefreshBody(client, "r"),
              "grant_type=refresh_token&client_id=org-client&refresh_token=r&scope=mail%20offline");
}
