#pragma once

#include <cstdint>

namespace vigilon {

// Back-off for a program that keeps ending soon after its start: each quick end doubles the wait
// before its next start, from 2 s up to 5 minutes; a run of a minute or more starts the count
// afresh. Times are monotonic milliseconds.
class Backoff {
public:
    static constexpr std::int64_t kQuickEnd = 60'000;  // a shorter run counts as a failed start
    static constexpr std::int64_t kFirstDelay = 2'000;
    static constexpr std::int64_t kLongestDelay = 300'000;

    // The program ended at `now`; it was started at `startedAt` (0: not started by Vigilon).
    // Returns the delay set, 0 when the run was long enough to clear it.
    std::int64_t Ended(std::int64_t startedAt, std::int64_t now);

    // A start failed at `now` (its window never came): the delay grows as for a quick end.
    std::int64_t Failed(std::int64_t now);

    // Launch Programs: the program may start at once, and the count starts afresh.
    void Clear() { *this = {}; }

    bool Allows(std::int64_t now) const { return now >= notBefore_; }
    std::int64_t NotBefore() const { return notBefore_; }

    // True the first time it is asked after the delay reached its longest: the user is told once.
    bool FirstAtLongest();

private:
    std::int64_t delay_ = 0;
    std::int64_t notBefore_ = 0;
    bool longestTold_ = false;
};

}  // namespace vigilon
