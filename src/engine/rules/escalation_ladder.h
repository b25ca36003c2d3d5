#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/escalate_rules.h"

namespace vigilon {

// A program's escalation ladder (Escalate=, EscalateMinutes=) and how far its troubles have
// climbed it. The troubles are the ends the history calls trouble; the supervisor and the engine
// decide which ends those are, the ladder only counts them.
//
// The count starts over after `minutes` without a trouble, when it reaches the ladder's top step,
// and when the keeper says so (an action that ends the session was taken or cancelled). A step is
// taken once, at the trouble whose count is its count.
struct EscalationLadder {
    std::vector<EscalateStep> steps;  // Escalate as read, by count; empty: off
    int minutes = kDefaultEscalateMinutes;
    int count = 0;                    // troubles counted since the count last started over
    std::int64_t lastAt = 0;          // monotonic: the last trouble counted

    bool On() const { return !steps.empty(); }
    // A trouble at monotonic `now`: the step its count reaches, if any.
    std::optional<EscalateStep> Count(std::int64_t now);
    // The count as it stands at `now`: 0 once the quiet period is over.
    int CountAt(std::int64_t now) const;
    // The step the count reaches next, from `now`; nothing when off.
    std::optional<EscalateStep> Next(std::int64_t now) const;
    // The ladder as read now: the count so far stays, unless the ladder is off or the count is
    // already at or past its top step, when it starts over.
    void Change(std::vector<EscalateStep> newSteps, int newMinutes);
    void StartOver() { count = 0; }

private:
    bool Quiet(std::int64_t now) const { return count > 0 && now - lastAt >= std::int64_t{minutes} * 60'000; }
};

}  // namespace vigilon
