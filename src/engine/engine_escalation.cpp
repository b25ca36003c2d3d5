#include "engine/watch_engine.h"

namespace vigilon {

void WatchEngine::TroubleEnd(WatchedProgram const& record, ProgramState& state) {
    // An end while launching is paused is no trouble to climb the ladder for: nothing starts the
    // program again, and whoever paused it is at work on it.
    if (launchPaused_) return;
    std::optional<EscalateStep> const step = state.escalation.Count(Now());
    if (step) escalation_.StepReached(record.name, state.escalation, *step);
}

}  // namespace vigilon
