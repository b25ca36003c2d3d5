#include "platform/win32/win32_http_client.h"

#include <winhttp.h>

#include <mutex>
#include <set>
#include <string>
#include <system_error>

#include "platform/win32/system_function.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// The WinHTTP functions used, taken from the DLL loaded from the system folder.
struct WinHttp {
    decltype(&::WinHttpOpen) open = nullptr;
    decltype(&::WinHttpCrackUrl) crackUrl = nullptr;
    decltype(&::WinHttpConnect) connect = nullptr;
    decltype(&::WinHttpOpenRequest) openRequest = nullptr;
    decltype(&::WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&::WinHttpSendRequest) sendRequest = nullptr;
    decltype(&::WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&::WinHttpCloseHandle) closeHandle = nullptr;

    bool Complete() const {
        return open && crackUrl && connect && openRequest && setTimeouts && sendRequest && receiveResponse &&
               queryHeaders && closeHandle;
    }
};

// Loaded once, and kept for the life of the process: threads may still be using it at exit.
WinHttp const& Functions() {
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
        f.closeHandle = SystemFunction<decltype(f.closeHandle)>(module, "WinHttpCloseHandle");
        return f;
    }();
    return functions;
}

struct CloseInternetRelease {
    void operator()(HINTERNET handle) const { Functions().closeHandle(handle); }
};
using InternetHandle = Owned<HINTERNET, CloseInternetRelease>;

std::wstring ErrorText(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return L"no answer within the time allowed";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return L"the server's name could not be resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT: return L"the server could not be reached";
    case ERROR_WINHTTP_CONNECTION_ERROR: return L"the connection was lost";
    case ERROR_WINHTTP_SECURE_FAILURE: return L"the server's certificate was not accepted";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL: return L"the URL is not a valid HTTP or HTTPS URL";
    case ERROR_WINHTTP_OPERATION_CANCELLED: return L"cancelled as Vigilon ended";
    default: return L"WinHTTP error " + std::to_wstring(error);
    }
}

}  // namespace

struct Win32HttpClient::Shared {
    std::mutex mutex;
    std::map<std::uint32_t, Outcome> outcomes;
    std::set<HINTERNET> open;  // requests under way, which going away cancels by closing them
    std::set<std::uint32_t> cancelled;  // given up while under way: their outcome is dropped
    bool closing = false;
};

namespace {

using Shared = Win32HttpClient::Shared;
using Outcome = HttpClient::Outcome;

Outcome Failure(DWORD error) { return Outcome{false, 0, ErrorText(error)}; }

// Sends the request and reads the answer's status; `request` is closed by whoever takes it out of
// the shared set, the thread when it finishes or the client when it goes away.
Outcome Exchange(WinHttp const& f, HINTERNET request) {
    if (!f.sendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !f.receiveResponse(request, nullptr)) {
        return Failure(GetLastError());
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!f.queryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return Failure(GetLastError());
    }
    bool const ok = status >= 200 && status < 300;
    return Outcome{ok, status, ok ? L"" : L"HTTP status " + std::to_wstring(status)};
}

Outcome Request(Shared& shared, std::wstring const& url, int timeout) {
    WinHttp const& f = Functions();
    if (!f.Complete()) return Outcome{false, 0, L"WinHTTP is not available"};
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!f.crackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return Failure(GetLastError());
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return Failure(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    }
    std::wstring const host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring const path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    // The user's own proxy settings, as a browser finds them (Windows 8.1 and later), else the
    // machine's WinHTTP proxy.
    constexpr DWORD kAutomaticProxy = 4;  // WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY
    HINTERNET opened = f.open(L"Vigilon", kAutomaticProxy, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (opened == nullptr) {
        opened = f.open(L"Vigilon", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    }
    InternetHandle const session(opened);
    if (!session) return Failure(GetLastError());
    f.setTimeouts(session.Get(), timeout, timeout, timeout, timeout);
    InternetHandle const connection(f.connect(session.Get(), host.c_str(), parts.nPort, 0));
    if (!connection) return Failure(GetLastError());
    DWORD const flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    HINTERNET const request = f.openRequest(connection.Get(), L"GET", path.empty() ? L"/" : path.c_str(), nullptr,
                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
    if (request == nullptr) return Failure(GetLastError());
    {
        std::lock_guard lock(shared.mutex);
        if (shared.closing) {
            f.closeHandle(request);
            return Failure(ERROR_WINHTTP_OPERATION_CANCELLED);
        }
        shared.open.insert(request);
    }
    Outcome const outcome = Exchange(f, request);
    std::lock_guard lock(shared.mutex);
    if (shared.open.erase(request) != 0) f.closeHandle(request);
    return outcome;
}

}  // namespace

Win32HttpClient::Win32HttpClient() : shared_(std::make_shared<Shared>()) {}

Win32HttpClient::~Win32HttpClient() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closing = true;
    }
    // A request under way may wait out its timeouts, and Vigilon's exit does not wait for it (a
    // new copy started meanwhile would find this one still there). Each thread holds what it uses,
    // the shared state and WinHTTP, which stays loaded, and ends with the process.
    for (auto& [id, thread] : threads_) thread.detach();
}

std::optional<std::uint32_t> Win32HttpClient::Get(std::wstring_view url, int timeoutMilliseconds) {
    std::uint32_t const id = nextId_++;
    try {
        threads_.emplace(id, std::thread([shared = shared_, url = std::wstring(url), timeoutMilliseconds, id] {
            Outcome outcome = Request(*shared, url, timeoutMilliseconds);
            std::lock_guard lock(shared->mutex);
            if (shared->cancelled.erase(id) == 0) shared->outcomes[id] = std::move(outcome);
        }));
    } catch (std::system_error const&) {
        return std::nullopt;
    }
    return id;
}

std::optional<HttpClient::Outcome> Win32HttpClient::Finished(std::uint32_t id) {
    std::optional<Outcome> outcome;
    {
        std::lock_guard lock(shared_->mutex);
        auto const found = shared_->outcomes.find(id);
        if (found == shared_->outcomes.end()) return std::nullopt;
        outcome = std::move(found->second);
        shared_->outcomes.erase(found);
    }
    // The thread has set its outcome and is ending: joining it waits no longer than that.
    auto const thread = threads_.find(id);
    if (thread != threads_.end()) {
        thread->second.join();
        threads_.erase(thread);
    }
    return outcome;
}

void Win32HttpClient::Cancel(std::uint32_t id) {
    auto const thread = threads_.find(id);
    if (thread == threads_.end()) return;
    {
        std::lock_guard lock(shared_->mutex);
        // Ended already: its outcome is dropped here; otherwise the thread drops it as it ends.
        if (shared_->outcomes.erase(id) == 0) shared_->cancelled.insert(id);
    }
    // A handle another thread waits on may not be closed under it (WinHTTP's synchronous calls):
    // the request ends within its timeouts, holding what it uses, as one left at Vigilon's end does.
    thread->second.detach();
    threads_.erase(thread);
}

}  // namespace vigilon
