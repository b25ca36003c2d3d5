#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vigilon {

// Plain HTTP(S) requests, made in the background so that no caller waits on the network.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    // How a request ended: `ok` for an answer with a 2xx status; otherwise the status, when an
    // answer came, and the reason in words.
    struct Outcome {
        bool ok = false;
        std::uint32_t status = 0;  // the answer's HTTP status; 0 when none came
        std::wstring error;        // empty when ok
        std::string answer;        // the start of the answer's body, as it came (a POST's only)
    };

    // Starts a GET of `url`, giving up after `timeoutMilliseconds` at each step (name lookup,
    // connection, sending, the answer). The request's id, or nothing when it could not be started.
    virtual std::optional<std::uint32_t> Get(std::wstring_view url, int timeoutMilliseconds) = 0;

    // Starts a POST of `body` to `url`, of `contentType`, with the same timeouts; its outcome holds
    // the first kMostAnswerBytes of the answer's body.
    static constexpr std::size_t kMostAnswerBytes = 4096;
    virtual std::optional<std::uint32_t> Post(std::wstring_view url, std::string_view contentType, std::string body,
                                              int timeoutMilliseconds) = 0;

    // The outcome once the request has ended, and it is then forgotten; nothing while it runs.
    virtual std::optional<Outcome> Finished(std::uint32_t id) = 0;

    // Gives the request up: its outcome is never given, and one under way ends within its timeouts.
    virtual void Cancel(std::uint32_t id) = 0;
};

}  // namespace vigilon
