#pragma once

#include <algorithm>
#include <cstdint>

namespace vigilon {

// Time that passes only while watch passes run one after another. Each gap between two passes
// counts as at most kLongestGap, so time asleep or hibernating, time with the passes stopped (the
// editor open) and time spent waiting inside one pass (a message box, a minute's wait for a
// window) all count as a moment. What a window is judged by (its answers, its time to close) is
// measured on this clock, so that it only counts what Vigilon could see.
class PassClock {
public:
    static constexpr std::int64_t kLongestGap = 2'000;

    // A pass begins at monotonic time `now`.
    void PassBegins(std::int64_t now) {
        if (lastPass_ != kNever) elapsed_ += std::clamp<std::int64_t>(now - lastPass_, 0, kLongestGap);
        lastPass_ = now;
    }

    // Milliseconds of passing so far.
    std::int64_t Now() const { return elapsed_; }

private:
    static constexpr std::int64_t kNever = INT64_MIN;
    std::int64_t lastPass_ = kNever;
    std::int64_t elapsed_ = 0;
};

}  // namespace vigilon
