#include "engine/backoff.h"

#include <algorithm>

namespace vigilon {

std::int64_t Backoff::Ended(std::int64_t startedAt, std::int64_t now) {
    if (startedAt == 0 || now - startedAt >= kQuickEnd) {
        Clear();
        return 0;
    }
    return Failed(now);
}

std::int64_t Backoff::Failed(std::int64_t now) {
    delay_ = delay_ == 0 ? kFirstDelay : std::min(delay_ * 2, kLongestDelay);
    notBefore_ = now + delay_;
    return delay_;
}

bool Backoff::FirstAtLongest() {
    if (delay_ != kLongestDelay || longestTold_) return false;
    longestTold_ = true;
    return true;
}

}  // namespace vigilon
