#include "platform/win32/winhttp_get.h"

#include "platform/win32/system_function.h"

namespace vigilon {

WinHttp const& WinHttpFunctions() {
    static WinHttp const functions = [] {
        WinHttp f;
        HMODULE const module = LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        f.open = SystemFunction<decltype(f.open)>(module, "WinHttpOpen");
        f.crackUrl = SystemFunction<decltype(f.crackUrl)>(module, "WinHttpCrackUrl");
        f.connect = SystemFunction<decltype(f.connect)>(module, "WinHttpConnect");
        f.openRequest = SystemFunction<decltype(f.openRequest)>(module, "WinHttpOpenRequest");
        f.setTimeouts = SystemFunction<decltype(f.setTimeouts)>(module, "WinHttpSetTimeouts");
        f.sendRequest = SystemFunction<decltype(f.sendRequest)>(module, "WinHttpSendRequest");
        f.receiveResponse = SystemFunction<decltype(f.receiveResponse)>(module, "WinHttpReceiveResponse");
        f.queryHeaders = SystemFunction<decltype(f.queryHeaders)>(module, "WinHttpQueryHeaders");
        f.queryDataAvailable = SystemFunction<decltype(f.queryDataAvailable)>(module, "WinHttpQueryDataAvailable");
        f.readData = SystemFunction<decltype(f.readData)>(module, "WinHttpReadData");
        f.closeHandle = SystemFunction<decltype(f.closeHandle)>(module, "WinHttpCloseHandle");
        return f;
    }();
    return functions;
}

DWORD OpenGet(std::wstring const& url, int timeoutMilliseconds, OpenedGet& get, wchar_t const* verb) {
    WinHttp const& f = WinHttpFunctions();
    if (!f.Complete()) return ERROR_PROC_NOT_FOUND;
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!f.crackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return GetLastError();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return ERROR_WINHTTP_UNRECOGNIZED_SCHEME;
    }
    std::wstring const host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring const path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    // The user's own proxy settings, as a browser finds them (Windows 8.1 and later), else the
    // machine's WinHTTP proxy.
    constexpr DWORD kAutomaticProxy = 4;  // WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY
    get.session.Reset(f.open(L"Vigilon", kAutomaticProxy, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!get.session) {
        get.session.Reset(
            f.open(L"Vigilon", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    }
    if (!get.session) return GetLastError();
    f.setTimeouts(get.session.Get(), timeoutMilliseconds, timeoutMilliseconds, timeoutMilliseconds,
                  timeoutMilliseconds);
    get.connection.Reset(f.connect(get.session.Get(), host.c_str(), parts.nPort, 0));
    if (!get.connection) return GetLastError();
    DWORD const flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    get.request.Reset(f.openRequest(get.connection.Get(), verb, path.empty() ? L"/" : path.c_str(), nullptr,
                                    WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    return get.request ? 0 : GetLastError();
}

bool LimitRequest(HINTERNET request, int milliseconds) {
    if (milliseconds <= 0) return false;
    // Should the system refuse, the session's limits, set for the whole exchange, still hold.
    WinHttpFunctions().setTimeouts(request, milliseconds, milliseconds, milliseconds, milliseconds);
    return true;
}

DWORD SendGet(HINTERNET request, DWORD& status, std::function<int()> const& timeLeft) {
    WinHttp const& f = WinHttpFunctions();
    auto const limited = [&] { return !timeLeft || LimitRequest(request, timeLeft()); };
    if (!limited()) return ERROR_WINHTTP_TIMEOUT;
    if (!f.sendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        return GetLastError();
    }
    if (!limited()) return ERROR_WINHTTP_TIMEOUT;
    if (!f.receiveResponse(request, nullptr)) return GetLastError();
    DWORD size = sizeof(status);
    if (!f.queryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return GetLastError();
    }
    return 0;
}

}  // namespace vigilon
