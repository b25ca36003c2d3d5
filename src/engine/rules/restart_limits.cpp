#include "engine/rules/restart_limits.h"

#include <algorithm>

namespace vigilon {

bool RestartLimit::Allows(RestartReason reason, std::int64_t now) const {
    std::vector<std::int64_t> const& times = counts_[Index(reason)].times;
    auto const recent = std::count_if(times.begin(), times.end(), [&](std::int64_t at) { return now - at < kHour; });
    return recent < kMostPerHour;
}

void RestartLimit::Restarted(RestartReason reason, std::int64_t now) {
    Count& count = counts_[Index(reason)];
    std::erase_if(count.times, [&](std::int64_t at) { return now - at >= kHour; });
    count.times.push_back(now);
    count.heldSaid = false;
}

bool RestartLimit::FirstHeld(RestartReason reason) {
    Count& count = counts_[Index(reason)];
    if (count.heldSaid) return false;
    count.heldSaid = true;
    return true;
}

}  // namespace vigilon
