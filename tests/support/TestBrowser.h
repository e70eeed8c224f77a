#pragma once
// Plays the user's browser for a sign-in through the stand-in account provider: opens the
// authorization URL (HTTPS, the test authority trusted), and takes the redirect it answers with
// to the program's loopback listener. Also reaches the provider's plain test port. The caller
// has started Winsock.

#include <windows.h>
#include <winhttp.h>
#include <winsock.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace TestBrowser {

inline std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// Bound at run time: under Wine 8, a test program that imports WinHTTP at load time overflows
// its stack in the loader before main.
template <class Function>
Function WinHttp(const char* name) {
    static HMODULE module = LoadLibraryA("winhttp.dll");
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
#define TEST_WINHTTP(name) WinHttp<decltype(&name)>(#name)

// The Location of the authorization endpoint's redirect; empty when it answered otherwise.
inline std::string Authorize(const std::string& url) {
    const std::wstring wideUrl = Wide(url);
    URL_COMPONENTS parts{sizeof parts};
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
    if (!TEST_WINHTTP(WinHttpCrackUrl)(wideUrl.c_str(), 0, 0, &parts)) return {};
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    HINTERNET session = TEST_WINHTTP(WinHttpOpen)(L"TestBrowser", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr,
                                    nullptr, 0);
    HINTERNET connection = TEST_WINHTTP(WinHttpConnect)(session, host.c_str(), parts.nPort, 0);
    HINTERNET request = TEST_WINHTTP(WinHttpOpenRequest)(connection, L"GET", path.c_str(), nullptr, nullptr,
                                           nullptr, WINHTTP_FLAG_SECURE);
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    TEST_WINHTTP(WinHttpSetOption)(request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    std::string location;
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    if (TEST_WINHTTP(WinHttpSendRequest)(request, nullptr, 0, nullptr, 0, 0, 0) &&
        TEST_WINHTTP(WinHttpReceiveResponse)(request, nullptr) &&
        TEST_WINHTTP(WinHttpQueryHeaders)(request, WINHTTP_QUERY_LOCATION, nullptr, buffer, &size, nullptr))
        for (DWORD i = 0; i < size / sizeof(wchar_t); ++i) location += char(buffer[i]);
    TEST_WINHTTP(WinHttpCloseHandle)(request);
    TEST_WINHTTP(WinHttpCloseHandle)(connection);
    TEST_WINHTTP(WinHttpCloseHandle)(session);
    return location;
}

// Sends one plain HTTP request to 127.0.0.1 and returns the whole answer.
inline std::string Request(unsigned short port, const std::string& requestLine) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    address.sin_port = htons(port);
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request =
            requestLine + "\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        send(s, request.data(), int(request.size()), 0);
        char buffer[4096];
        int n;
        while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, n);
    }
    closesocket(s);
    return answer;
}

// Follows a redirect to "http://127.0.0.1:<port>/...": the page the program answers with.
inline std::string FollowRedirect(const std::string& location) {
    const std::string prefix = "http://127.0.0.1:";
    if (location.compare(0, prefix.size(), prefix) != 0) return {};
    const std::size_t slash = location.find('/', prefix.size());
    const auto port = static_cast<unsigned short>(
        std::atoi(location.substr(prefix.size(), slash - prefix.size()).c_str()));
    return Request(port, "GET " + location.substr(slash) + " HTTP/1.1");
}

// The port of the provider's plain test service (LARKSPUR_OAUTH_INTROSPECTION).
inline unsigned short ControlPort() {
    const char* url = std::getenv("LARKSPUR_OAUTH_INTROSPECTION");
    const char* colon = url ? std::strrchr(url, ':') : nullptr;
    return colon ? static_cast<unsigned short>(std::atoi(colon + 1)) : 0;
}

#undef TEST_WINHTTP

}  // namespace TestBrowser
