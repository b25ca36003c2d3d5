#pragma once

#include "engine/rules/rule.h"

namespace vigilon {

// Escalate and EscalateMinutes: reads the program's ladder. Its troubles are counted as they come
// (see EscalationLadder), and what a step does is the engine's escalation keeper's.
Rule const& EscalateRule();

// The ladder's part of the program's row at monotonic `now`: its count, its minutes and its next step.
void DescribeEscalation(ProgramStatus& row, EscalationLadder const& ladder, std::int64_t now);

}  // namespace vigilon
