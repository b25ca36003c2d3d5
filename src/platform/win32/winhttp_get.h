#pragma once

#include <windows.h>
#include <winhttp.h>

#include <functional>
#include <string>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// The WinHTTP functions used, taken from winhttp.dll loaded from the system folder (it is not one
// of the DLLs the loader always takes from there).
struct WinHttp {
    decltype(&::WinHttpOpen) open = nullptr;
    decltype(&::WinHttpCrackUrl) crackUrl = nullptr;
    decltype(&::WinHttpConnect) connect = nullptr;
    decltype(&::WinHttpOpenRequest) openRequest = nullptr;
    decltype(&::WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&::WinHttpSendRequest) sendRequest = nullptr;
    decltype(&::WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&::WinHttpQueryDataAvailable) queryDataAvailable = nullptr;
    decltype(&::WinHttpReadData) readData = nullptr;
    decltype(&::WinHttpCloseHandle) closeHandle = nullptr;

    bool Complete() const {
        return open && crackUrl && connect && openRequest && setTimeouts && sendRequest && receiveResponse &&
               queryHeaders && queryDataAvailable && readData && closeHandle;
    }
};

// Loaded on first use and kept for the life of the process: threads may still be using it at exit.
WinHttp const& WinHttpFunctions();

struct CloseInternetRelease {
    void operator()(HINTERNET handle) const { WinHttpFunctions().closeHandle(handle); }
};
using InternetHandle = Owned<HINTERNET, CloseInternetRelease>;

// A GET opened and not yet sent: the session, its connection and the request, closed in that
// order's reverse.
struct OpenedGet {
    InternetHandle session;
    InternetHandle connection;
    InternetHandle request;
};

// Opens a GET of `url`, an http:// or https:// URL, through the user's proxy, with each of
// WinHTTP's timeouts (resolving, connecting, sending, receiving) set to `timeoutMilliseconds`.
// Returns 0 and fills `get`, or the error (ERROR_WINHTTP_...) that stopped it.
// `verb` POST opens a POST the same way.
DWORD OpenGet(std::wstring const& url, int timeoutMilliseconds, OpenedGet& get, wchar_t const* verb = L"GET");

// Sets each of the request's timeouts to `milliseconds`, the time left for its next step; false,
// and nothing set, when none is left (WinHTTP would read 0 as no limit at all).
bool LimitRequest(HINTERNET request, int milliseconds);

// Sends the opened request and waits for the answer's headers; returns 0 and the status, or the
// error. With `timeLeft`, each step is limited to the milliseconds it gives, and
// ERROR_WINHTTP_TIMEOUT is the answer when none are left.
DWORD SendGet(HINTERNET request, DWORD& status, std::function<int()> const& timeLeft = {});

}  // namespace vigilon
