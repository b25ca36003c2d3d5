#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "app/escalate_rules.h"

namespace vigilon {

// A program's escalation ladder (Escalate=, EscalateMinutes=) and how far its troubles have
// climbed it. The troubles are the ends the history calls trouble; the supervisor and the engine
// decide which ends those are, the ladder only counts them.
//
// The count is the number of troubles within the last `minutes` (a sliding window: older ones drop
// out). A step is taken once, when the count reaches it; the count starts over at the ladder's top
// step, once the window is empty, and when the keeper says so (an action that ends the session was
// taken or cancelled).
struct EscalationLadder {
    std::vector<EscalateStep> steps;  // Escalate as read, by count; empty: off
    int minutes = kDefaultEscalateMinutes;

    bool On() const { return !steps.empty(); }
    // A trouble at monotonic `now`: the step its count reaches, if any.
    std::optional<EscalateStep> Count(std::int64_t now);
    // The count as it stands at `now`: the troubles within the last `minutes`.
    int CountAt(std::int64_t now) const;
    // The step the count reaches next, from `now`; nothing when off.
    std::optional<EscalateStep> Next(std::int64_t now) const;
    // The ladder as read now: the count so far stays, unless the ladder is off or the count is
    // already at or past its top step, when it starts over.
    void Change(std::vector<EscalateStep> newSteps, int newMinutes);
    void StartOver();
    // True when one of its steps ends the session.
    bool EndsSessions() const;

private:
    void DropOld(std::int64_t now);

    std::deque<std::int64_t> times_;  // monotonic: the troubles counted, oldest first
    int taken_ = 0;                   // the count of the last step taken since the count started over
};

}  // namespace vigilon
