#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/outputs/program_status.h"
#include "engine/outputs/status_snapshot.h"
#include "engine/outputs/trouble_reporter.h"
#include "platform/platform.h"

namespace vigilon {

// What the heartbeat tells: whether everything is well, and if not, why.
struct HeartbeatFacts {
    enum class Watching : std::uint8_t { Watching, Paused, EditorOpen, Held };
    Watching watching = Watching::Watching;
    bool allRunning = true;  // every program that has a caption runs
    std::wstring reason;     // a short reason: the first program not running and its state
};

// The facts from the programs' rows and the watching state. The one place the heartbeat reads
// the engine's view of the programs.
HeartbeatFacts HeartbeatFactsFrom(std::vector<ProgramStatus> const& rows, WatchingState watching);

// `text` in UTF-8 with every byte but letters, digits and "-._~" written as %XX, so it fits in
// a URL's query whatever it holds.
std::wstring UrlEncoded(std::wstring_view text);

// The URL to request for `facts`, or nothing when none is to be requested. A URL with a
// placeholder is always requested: "{status}" becomes "up" or "down" and "{msg}" the reason,
// URL-encoded. One without is requested only while all is well, so that its monitor, which
// alerts when the requests stop, alerts for a program down, launching paused or the editor open.
std::optional<std::wstring> HeartbeatRequestUrl(std::wstring_view url, HeartbeatFacts const& facts);

// The URL's scheme and host, for the history: its path and query may hold a token.
std::wstring HeartbeatSite(std::wstring_view url);

// Requests the heartbeat URL every `seconds`, the first time `seconds` after it was set, so that
// the programs had time to start. One request at a time, each with kTimeout. A request that
// fails is said once (history, notice, event log) until one succeeds, which the history says too.
class Heartbeat {
public:
    static constexpr int kDefaultSeconds = 60;
    static constexpr int kMinSeconds = 10;
    static constexpr int kMaxSeconds = 3600;
    static constexpr int kTimeoutMilliseconds = 10'000;

    Heartbeat(Platform& platform, SupervisionJournal& journal) : platform_(platform), journal_(journal) {}

    // An empty URL turns the heartbeat off. Setting the same again changes nothing. Another URL
    // starts afresh: the request under way for the old one is given up, unheard, and a failure
    // said for the old one is not held against the new one.
    void Set(std::wstring url, int seconds);
    bool On() const { return !url_.empty(); }

    // Called every second: takes the outcome of the request under way, and starts the next one
    // when it is due. `facts` are read only when one is due.
    template <typename ReadFacts>
    void Tick(ReadFacts const& readFacts) {
        if (!On()) return;
        TakeOutcome();
        if (Now() < nextAt_ || pending_) return;
        Send(readFacts());
    }

    // Tells `facts` now, not waiting for the next beat: a request under way is given up for it.
    void TellNow(HeartbeatFacts const& facts);

private:
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    void TakeOutcome();
    void Send(HeartbeatFacts const& facts);
    void Failed(std::wstring const& reason);

    Platform& platform_;
    SupervisionJournal& journal_;
    std::wstring url_;
    int seconds_ = kDefaultSeconds;
    std::int64_t nextAt_ = 0;  // monotonic milliseconds
    std::optional<std::uint32_t> pending_;
    bool failureSaid_ = false;
};

}  // namespace vigilon
