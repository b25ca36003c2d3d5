#include "platform/win32/win32_http_client.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <system_error>

#include "platform/win32/system_function.h"
#include "platform/win32/winhttp_get.h"

namespace vigilon {
namespace {

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
    std::set<std::uint32_t> cancelled;  // given up while under way: their outcome is dropped
    bool closing = false;
};

namespace {

using Shared = Win32HttpClient::Shared;
using Outcome = HttpClient::Outcome;

Outcome Failure(DWORD error) { return Outcome{false, 0, ErrorText(error), {}}; }

// Sends the request and reads the answer's status.
Outcome Exchange(HINTERNET request) {
    DWORD status = 0;
    if (DWORD const error = SendGet(request, status); error != 0) return Failure(error);
    bool const ok = status >= 200 && status < 300;
    return Outcome{ok, status, ok ? L"" : L"HTTP status " + std::to_wstring(status), {}};
}

Outcome Request(Shared& shared, std::wstring const& url, int timeout) {
    if (!WinHttpFunctions().Complete()) return Outcome{false, 0, L"WinHTTP is not available", {}};
    OpenedGet get;
    if (DWORD const error = OpenGet(url, timeout, get); error != 0) return Failure(error);
    {
        std::lock_guard lock(shared.mutex);
        if (shared.closing) return Failure(ERROR_WINHTTP_OPERATION_CANCELLED);
    }
    return Exchange(get.request.Get());
}

// The first HttpClient::kMostAnswerBytes of the answer's body; the rest is left unread.
std::string ReadAnswer(HINTERNET request) {
    WinHttp const& f = WinHttpFunctions();
    std::string answer;
    while (answer.size() < HttpClient::kMostAnswerBytes) {
        DWORD come = 0;
        if (!f.queryDataAvailable(request, &come) || come == 0) break;
        std::string piece(std::min<std::size_t>(come, HttpClient::kMostAnswerBytes - answer.size()), '\0');
        DWORD read = 0;
        if (!f.readData(request, piece.data(), static_cast<DWORD>(piece.size()), &read) || read == 0) break;
        answer.append(piece.data(), read);
    }
    return answer;
}

// A POST follows no redirection: WinHTTP would repeat a 301 or 302 as a GET, and a 307 to
// whatever host it names. The 3xx answer is the outcome then, not accepted.
void FollowNoRedirect(HINTERNET request) {
    static auto const setOption = SystemFunction<decltype(&::WinHttpSetOption)>(
        LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "WinHttpSetOption");
    if (setOption == nullptr) return;
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    setOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));
}

Outcome PostRequest(Shared& shared, std::wstring const& url, std::wstring const& headers, std::string const& body,
                    int timeout) {
    WinHttp const& f = WinHttpFunctions();
    if (!f.Complete()) return Outcome{false, 0, L"WinHTTP is not available", {}};
    OpenedGet post;
    if (DWORD const error = OpenGet(url, timeout, post, L"POST"); error != 0) return Failure(error);
    {
        std::lock_guard lock(shared.mutex);
        if (shared.closing) return Failure(ERROR_WINHTTP_OPERATION_CANCELLED);
    }
    HINTERNET const request = post.request.Get();
    FollowNoRedirect(request);
    auto const size = static_cast<DWORD>(body.size());
    if (!f.sendRequest(request, headers.c_str(), static_cast<DWORD>(-1L), const_cast<char*>(body.data()), size, size, 0) ||
        !f.receiveResponse(request, nullptr)) {
        return Failure(GetLastError());
    }
    DWORD status = 0;
    DWORD length = sizeof(status);
    if (!f.queryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &length, WINHTTP_NO_HEADER_INDEX)) {
        return Failure(GetLastError());
    }
    bool const ok = status >= 200 && status < 300;
    return Outcome{ok, status, ok ? L"" : L"HTTP status " + std::to_wstring(status), ReadAnswer(request)};
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

template <typename Request>
std::optional<std::uint32_t> Win32HttpClient::Begin(Request request) {
    std::uint32_t const id = nextId_++;
    try {
        threads_.emplace(id, std::thread([shared = shared_, request = std::move(request), id] {
            Outcome outcome = request(*shared);
            std::lock_guard lock(shared->mutex);
            if (shared->cancelled.erase(id) == 0) shared->outcomes[id] = std::move(outcome);
        }));
    } catch (std::system_error const&) {
        return std::nullopt;
    }
    return id;
}

std::optional<std::uint32_t> Win32HttpClient::Get(std::wstring_view url, int timeoutMilliseconds) {
    return Begin([url = std::wstring(url), timeoutMilliseconds](Shared& shared) {
        return Request(shared, url, timeoutMilliseconds);
    });
}

std::optional<std::uint32_t> Win32HttpClient::Post(std::wstring_view url, std::string_view contentType,
                                                   std::string body, int timeoutMilliseconds) {
    std::wstring const headers = L"Content-Type: " + std::wstring(contentType.begin(), contentType.end()) + L"\r\n";
    return Begin([url = std::wstring(url), headers, body = std::move(body), timeoutMilliseconds](Shared& shared) {
        return PostRequest(shared, url, headers, body, timeoutMilliseconds);
    });
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
