#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/restart_rules.h"
#include "platform/event_loop.h"
#include "platform/window_handle.h"

namespace vigilon {

// What a health check found, as the history and the status say it.
struct HealthVerdict {
    bool works = false;
    std::wstring details;  // "HTTP 503 after 0.2 s", "exit code 2", "no answer within 10 s"
    bool unasked = false;  // Vigilon could not ask (its own setup, not the program's): counted neither way
};

// What the health rule keeps of a program (see HealthRule): its Check keys as read, the check under
// way, and the count of failures of the window found. Times are on the pass clock.
struct HealthWatch {
    // The keys as read; no check when Check is not set or cannot be used.
    std::optional<HealthCheck> check;
    std::wstring text;            // CheckText
    std::optional<int> maxAge;    // CheckAge, seconds
    int seconds = kDefaultCheckSeconds;
    int timeout = kDefaultCheckTimeout;
    int grace = kDefaultCheckGrace;
    int failuresAllowed = kDefaultCheckFailures;
    CheckAction action = CheckAction::Restart;

    // The check under way: the probe's ticket (0 none), the window it is for, and when it began.
    std::uint32_t ticket = 0;
    WindowHandle ticketFor = 0;
    std::int64_t began = 0;
    std::int64_t foundAt = 0;       // when the window was found: the grace counts from then
    std::int64_t nextCheck = 0;     // no check begins before then
    int failures = 0;               // in a row, of the window found
    std::int64_t shownSince = -1;   // a window: check: when its window was first seen; -1 not seen
    bool told = false;              // its failures were told (`unhealthy`), and no check has passed since
    std::uint32_t answered = 0;     // the ticket whose answer `last` holds, for a check asked for meanwhile
    std::wstring unaskedSaid;       // why it could not be asked, as said last (said once)

    // The last result counted of the window found, for the status.
    struct Result {
        LocalTime time{};
        HealthVerdict verdict;
    };
    std::optional<Result> last;

    // True while the window's failures in a row have reached the count that acts.
    bool Failing() const { return check && failures >= failuresAllowed; }
};

}  // namespace vigilon
