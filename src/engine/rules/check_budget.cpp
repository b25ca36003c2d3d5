#include "engine/rules/check_budget.h"

#include <algorithm>

namespace vigilon {

bool CheckBudget::May(std::int64_t pass, std::int64_t due) {
    if (pass != pass_) NewPass(pass);
    if (taken_ < slots_ && due <= latestDue_) return true;
    turnedAway_.push_back(due);
    return false;
}

void CheckBudget::NewPass(std::int64_t pass) {
    pass_ = pass;
    taken_ = 0;
    latestDue_ = std::numeric_limits<std::int64_t>::max();
    if (!turnedAway_.empty()) {
        // The slots go to the longest waiting of those turned away, before any due since.
        auto const last = turnedAway_.begin() + std::min<std::ptrdiff_t>(slots_, std::ssize(turnedAway_)) - 1;
        std::nth_element(turnedAway_.begin(), last, turnedAway_.end());
        latestDue_ = *last;
        turnedAway_.clear();
    }
}

}  // namespace vigilon
