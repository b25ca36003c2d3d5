#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <thread>

#include "platform/http_client.h"

namespace vigilon {

// Makes each request with WinHTTP on a thread of its own, so that a slow or silent server never
// holds up the user-interface thread; the outcome waits until it is asked for. winhttp.dll is not
// one of the DLLs the loader always takes from the system, so it is loaded from the system folder
// on first use. Going away leaves the requests under way to end with the process.
class Win32HttpClient final : public HttpClient {
public:
    Win32HttpClient();
    ~Win32HttpClient() override;
    Win32HttpClient(Win32HttpClient const&) = delete;
    Win32HttpClient& operator=(Win32HttpClient const&) = delete;

    std::optional<std::uint32_t> Get(std::wstring_view url, int timeoutMilliseconds) override;
    std::optional<std::uint32_t> Post(std::wstring_view url, std::string_view contentType, std::string body,
                                      int timeoutMilliseconds) override;
    std::optional<Outcome> Finished(std::uint32_t id) override;
    void Cancel(std::uint32_t id) override;

    // What the threads and the client share: the outcomes, and the requests that may be cancelled.
    struct Shared;

private:
    // Runs `request` on a thread of its own; its outcome waits in the shared state.
    template <typename Request>
    std::optional<std::uint32_t> Begin(Request request);

    std::shared_ptr<Shared> shared_;
    std::map<std::uint32_t, std::thread> threads_;
    std::uint32_t nextId_ = 1;
};

}  // namespace vigilon
