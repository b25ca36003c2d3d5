#include "engine/rules/escalation_ladder.h"

#include <algorithm>
#include <utility>

namespace vigilon {
namespace {

bool Older(std::int64_t time, std::int64_t now, int minutes) { return now - time >= std::int64_t{minutes} * 60'000; }

}  // namespace

void EscalationLadder::DropOld(std::int64_t now) {
    while (!times_.empty() && Older(times_.front(), now, minutes)) times_.pop_front();
    if (times_.empty()) taken_ = 0;  // a quiet window: the next climb begins from the first step
}

std::optional<EscalateStep> EscalationLadder::Count(std::int64_t now) {
    if (!On()) return std::nullopt;
    DropOld(now);
    times_.push_back(now);
    int const count = static_cast<int>(times_.size());
    // The highest step the count has reached and that was not taken yet in this climb.
    std::optional<EscalateStep> reached;
    for (EscalateStep const& step : steps) {
        if (step.count <= count && step.count > taken_) reached = step;
    }
    if (!reached) return std::nullopt;
    taken_ = reached->count;
    // At the top the count starts over: the next climb begins from the first step again.
    if (reached->count >= steps.back().count) StartOver();
    return reached;
}

int EscalationLadder::CountAt(std::int64_t now) const {
    return static_cast<int>(
        std::count_if(times_.begin(), times_.end(), [&](std::int64_t time) { return !Older(time, now, minutes); }));
}

std::optional<EscalateStep> EscalationLadder::Next(std::int64_t now) const {
    int const counted = CountAt(now);
    int const taken = counted == 0 ? 0 : taken_;
    for (EscalateStep const& step : steps) {
        if (step.count > counted && step.count > taken) return step;
    }
    return std::nullopt;
}

void EscalationLadder::Change(std::vector<EscalateStep> newSteps, int newMinutes) {
    steps = std::move(newSteps);
    minutes = newMinutes;
    if (steps.empty() || static_cast<int>(times_.size()) >= steps.back().count) StartOver();
}

void EscalationLadder::StartOver() {
    times_.clear();
    taken_ = 0;
}

bool EscalationLadder::EndsSessions() const {
    return std::any_of(steps.begin(), steps.end(), [](EscalateStep const& step) { return EndsSession(step.action); });
}

}  // namespace vigilon
