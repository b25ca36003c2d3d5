#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/alert_options.h"
#include "engine/outputs/alert_body.h"
#include "engine/supervisor.h"
#include "platform/platform.h"

namespace vigilon {

// Posts the alerts to AlertUrl, one at a time and in order, each request on a thread of the HTTP
// client's own with kTimeoutMilliseconds per step, so nothing here waits on the network. A post
// that fails is tried again after 30 s, 2 min and 10 min; when the last try fails too it is given
// up and the failure said once (history `alert`, a notice, the event log) until a post (or an
// accepted test) succeeds again. One refused with a client error (4xx but 408 and 429) is given up
// at once. An accepted test sends what waits for a retry at once. At most kMostWaiting wait: the oldest are dropped, and the next alert delivered says how
// many were lost. Only the URL's scheme and host are ever written out.
class AlertDelivery {
public:
    static constexpr int kTimeoutMilliseconds = 10'000;
    static constexpr std::size_t kMostWaiting = 100;
    static constexpr std::int64_t kRetryAfter[] = {30'000, 120'000, 600'000};

    AlertDelivery(Platform& platform, SupervisionJournal& journal) : platform_(platform), journal_(journal) {}

    // AlertUrl and AlertFormat. An empty URL, or one AlertUrlProblem refuses, turns alerts off and
    // drops what waits; another URL keeps the waiting alerts for the new one.
    void Set(std::wstring url, AlertFormat format);
    bool On() const { return !url_.empty(); }

    // Queues an alert.
    void Add(AlertEvent event);
    // Takes the outcome of the post under way, and starts the next when it is due. Called every second.
    void Tick();
    bool Idle() const { return waiting_.empty() && !pending_; }
    std::size_t Waiting() const { return waiting_.size(); }

    // A test message, posted at once whatever waits, and never tried again: its request id, or
    // nothing when it could not be started.
    std::optional<std::uint32_t> BeginTest(AlertEvent const& event);
    struct SettledTest {
        std::uint32_t id = 0;
        HttpClient::Outcome outcome;
    };
    // The tests that have ended since the last call.
    std::vector<SettledTest> SettledTests();
    std::wstring Site() const { return AlertSite(url_); }

private:
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    void TakeOutcome();
    void Failed(std::wstring const& reason, bool retry);
    // A post was accepted: the next waiting goes at once, and a failure said is over.
    void Reached();
    static bool Refused(std::uint32_t status);
    void Start();

    Platform& platform_;
    SupervisionJournal& journal_;
    std::wstring url_;
    AlertFormat format_ = AlertFormat::Json;
    std::deque<AlertEvent> waiting_;  // the first is the one under way or being retried
    std::optional<std::uint32_t> pending_;
    int tries_ = 0;              // of the first waiting
    std::int64_t nextAt_ = 0;    // when the first waiting may be posted (again)
    int lost_ = 0;               // dropped or given up since the last delivered alert
    int carried_ = 0;            // of them, the number the post under way says
    bool failureSaid_ = false;
    std::vector<std::uint32_t> tests_;
};

}  // namespace vigilon
