#pragma once

#include <algorithm>
#include <cstdint>

namespace vigilon {

// Time that counts while Vigilon watches: it moves on at each pass, and each second while a pass is
// held with the passes still on (a notice waiting for OK, a wait for a started program's window),
// since windows are still asked whether they answer then. Each step counts as at most kLongestGap,
// so time asleep or hibernating and time with the passes stopped (the editor open) count as a
// moment. What a window is judged by (its answers, its time to close) is measured on this clock,
// so that it only counts what Vigilon could see.
class PassClock {
public:
    static constexpr std::int64_t kLongestGap = 2'000;
    // A step this long is a sleep, or the passes stopped a while (the editor open), rather than a
    // slow pass on a busy machine.
    static constexpr std::int64_t kSleepGap = 30'000;

    // A pass begins, or a second of a held pass goes by, at monotonic time `now`.
    void Tick(std::int64_t now) {
        if (lastPass_ != kNever) elapsed_ += std::clamp<std::int64_t>(now - lastPass_, 0, kLongestGap);
        if (lastPass_ != kNever && now - lastPass_ > kSleepGap) lastGap_ = elapsed_;
        lastPass_ = now;
    }

    // Milliseconds of passing so far.
    std::int64_t Now() const { return elapsed_; }
    // When the last step longer than kSleepGap (a sleep, the passes stopped) ended; -1 never.
    std::int64_t LastGap() const { return lastGap_; }

private:
    static constexpr std::int64_t kNever = INT64_MIN;
    std::int64_t lastPass_ = kNever;
    std::int64_t elapsed_ = 0;
    std::int64_t lastGap_ = -1;
};

}  // namespace vigilon
