#include "oauth/HttpsPost.win.h"

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <vector>

#include "framework/SystemLibrary.win.h"
#include "framework/WideText.win.h"
#include "oauth/OAuthProvider.h"
#include "oauth/TokenResponse.h"

namespace {

struct TWinHttp {
    decltype(&WinHttpOpen) Open = nullptr;
    decltype(&WinHttpCrackUrl) CrackUrl = nullptr;
    decltype(&WinHttpConnect) Connect = nullptr;
    decltype(&WinHttpOpenRequest) OpenRequest = nullptr;
    decltype(&WinHttpSetOption) SetOption = nullptr;
    decltype(&WinHttpSetTimeouts) SetTimeouts = nullptr;
    decltype(&WinHttpSendRequest) SendRequest = nullptr;
    decltype(&WinHttpReceiveResponse) ReceiveResponse = nullptr;
    decltype(&WinHttpQueryHeaders) QueryHeaders = nullptr;
    decltype(&WinHttpReadData) ReadData = nullptr;
    decltype(&WinHttpCloseHandle) CloseHandle = nullptr;
    bool Bound = false;
};

template <class Function>
void Bind(HMODULE module, const char* name, Function& function, bool& bound) {
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    bound = bound && function;
}

const TWinHttp& WinHttp() {
    static const TWinHttp binding = [] {
        TWinHttp w;
        HMODULE module = LoadSystemLibrary("winhttp.dll");
        if (!module) return w;
        w.Bound = true;
        Bind(module, "WinHttpOpen", w.Open, w.Bound);
        Bind(module, "WinHttpCrackUrl", w.CrackUrl, w.Bound);
        Bind(module, "WinHttpConnect", w.Connect, w.Bound);
        Bind(module, "WinHttpOpenRequest", w.OpenRequest, w.Bound);
        Bind(module, "WinHttpSetOption", w.SetOption, w.Bound);
        Bind(module, "WinHttpSetTimeouts", w.SetTimeouts, w.Bound);
        Bind(module, "WinHttpSendRequest", w.SendRequest, w.Bound);
        Bind(module, "WinHttpReceiveResponse", w.ReceiveResponse, w.Bound);
        Bind(module, "WinHttpQueryHeaders", w.QueryHeaders, w.Bound);
        Bind(module, "WinHttpReadData", w.ReadData, w.Bound);
        Bind(module, "WinHttpCloseHandle", w.CloseHandle, w.Bound);
        return w;
    }();
    return binding;
}

THttpsAnswer Failed(const char* step) {
    THttpsAnswer answer;
    answer.Failure = std::string(step) + " failed (" + std::to_string(GetLastError()) + ")";
    return answer;
}

}  // namespace

THttpsAnswer HttpsPost(const std::string& url, const std::string& formBody) {
    const TWinHttp& w = WinHttp();
    if (!w.Bound) return Failed("Loading WinHTTP");
    if (!SecureEndpoint(url)) {
        THttpsAnswer answer;
        answer.Failure = "Not an https address";
        return answer;
    }
    const TWide wideUrl = Utf8ToWide(url);
    URL_COMPONENTS parts{sizeof parts};
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
    if (!w.CrackUrl(wideUrl.data(), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTPS)
        return Failed("Reading the address");
    TWide host(parts.lpszHostName, parts.lpszHostName + parts.dwHostNameLength);
    host.push_back(L'\0');
    // The path runs on into the query, up to the end of the URL and its zero.
    const wchar_t* end = wideUrl.data() + wideUrl.size();
    const TWide path(parts.lpszUrlPath ? parts.lpszUrlPath : end - 1, end);

    const auto close = [&w](HINTERNET handle) { w.CloseHandle(handle); };
    using THandle = std::unique_ptr<void, decltype(close)>;
    THandle session(w.Open(L"Larkspur", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0),
                    close);
    if (!session) return Failed("Opening WinHTTP");
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
    w.SetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
    w.SetTimeouts(session.get(), 30000, 30000, 30000, 30000);
    THandle connection(w.Connect(session.get(), host.data(), parts.nPort, 0), close);
    if (!connection) return Failed("Connecting");
    // WINHTTP_FLAG_SECURE with none of the flags that waive certificate errors: the system
    // checks the chain, the name and the dates.
    THandle request(w.OpenRequest(connection.get(), L"POST", path.data(), nullptr,
                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                  WINHTTP_FLAG_SECURE),
                    close);
    if (!request) return Failed("Opening the request");
    const wchar_t headers[] = L"Content-Type: application/x-www-form-urlencoded\r\n"
                              L"Accept: application/json\r\n";
    if (!w.SendRequest(request.get(), headers, DWORD(-1),
                       const_cast<char*>(formBody.data()), static_cast<DWORD>(formBody.size()),
                       static_cast<DWORD>(formBody.size()), 0) ||
        !w.ReceiveResponse(request.get(), nullptr))
        return Failed("Sending the request");
    THttpsAnswer answer;
    DWORD statusSize = sizeof answer.Status;
    DWORD status = 0;
    if (!w.QueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX))
        return Failed("Reading the answer");
    char buffer[4096];
    DWORD read = 0;
    while (w.ReadData(request.get(), buffer, sizeof buffer, &read) && read > 0) {
        answer.Body.append(buffer, read);
        if (answer.Body.size() > MaxTokenResponseSize) {
            answer.Body.clear();
            answer.Failure = "The answer is too long";
            return answer;
        }
    }
    answer.Answered = true;
    answer.Status = status;
    return answer;
}
