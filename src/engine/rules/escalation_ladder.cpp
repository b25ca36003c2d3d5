#include "engine/rules/escalation_ladder.h"

#include <utility>

namespace vigilon {

std::optional<EscalateStep> EscalationLadder::Count(std::int64_t now) {
    if (!On()) return std::nullopt;
    if (Quiet(now)) count = 0;
    ++count;
    lastAt = now;
    for (EscalateStep const& step : steps) {
        if (step.count != count) continue;
        // At the top the count starts over: the next climb begins from the first step again.
        if (step == steps.back()) count = 0;
        return step;
    }
    return std::nullopt;
}

int EscalationLadder::CountAt(std::int64_t now) const { return Quiet(now) ? 0 : count; }

std::optional<EscalateStep> EscalationLadder::Next(std::int64_t now) const {
    int const counted = CountAt(now);
    for (EscalateStep const& step : steps) {
        if (step.count > counted) return step;
    }
    return std::nullopt;
}

void EscalationLadder::Change(std::vector<EscalateStep> newSteps, int newMinutes) {
    steps = std::move(newSteps);
    minutes = newMinutes;
    if (steps.empty() || count >= steps.back().count) count = 0;
}

}  // namespace vigilon
