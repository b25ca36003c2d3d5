#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vigilon {

// What a program's health check asks the system; the engine judges a window check itself, from the
// captions of its pass.
enum class HealthKind : std::uint8_t {
    Http,  // a GET of `target`, a URL
    Tcp,   // a TCP connection to `target` (the host) on `port`
    File,  // when `target`, a path with its variables expanded, was last written
    Run,   // `target`, a command line, run with no window; its exit code
};

struct HealthQuestion {
    HealthKind kind = HealthKind::Http;
    std::wstring target;
    int port = 0;                      // Tcp only
    std::wstring bodyText;             // Http only: the text looked for in the first 64 KiB of the body; empty for none
    int timeoutMilliseconds = 10'000;  // the whole check's limit; a command still running then is ended
    std::wstring folder;               // Run only: its current directory (Vigilon's own folder)
};

// The facts a check found; the engine decides from them whether the program works.
struct HealthAnswer {
    bool answered = false;                 // Http: a status came; Tcp: the connection opened; File: it exists; Run: it ended
    bool timedOut = false;                 // the limit passed first (a command is then ended)
    std::uint32_t code = 0;                // Http: the status; Run: the exit code
    bool textFound = false;                // Http: the body held `bodyText` (case ignored); true when none was asked for
    std::int64_t elapsedMilliseconds = 0;  // from the check's start to its end
    std::int64_t ageSeconds = 0;           // File: seconds since it was last written (never below 0)
    std::wstring error;                    // why it did not answer, in words: "refused", "not found", "timed out"
};

// Runs health checks on other threads: nothing here waits on a server, a share or a command. The
// caller asks for the result later.
class HealthProbe {
public:
    virtual ~HealthProbe() = default;

    // Begins a check; its ticket, never 0.
    virtual std::uint32_t Begin(HealthQuestion const& question) = 0;

    // The check's answer once it has ended, and the ticket is then forgotten; nothing while it
    // runs, or for an unknown ticket.
    virtual std::optional<HealthAnswer> Take(std::uint32_t ticket) = 0;

    // The answer is no longer wanted: the ticket is forgotten, and a check under way ends unseen
    // (a command it started is ended).
    virtual void Drop(std::uint32_t ticket) = 0;
};

}  // namespace vigilon
