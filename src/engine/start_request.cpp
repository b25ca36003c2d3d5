#include "engine/start_request.h"

namespace vigilon {

StartAnswer AskToStart(WatchedProgram const& record, ProgramState& state, StartContext const& context) {
    if (record.caption.empty()) return StartAnswer::NoCaption;
    if (!context.watching) return StartAnswer::EditorOpen;
    if (context.windowThere) return StartAnswer::AlreadyRunning;
    if (state.phase == ProgramPhase::Starting) return StartAnswer::AlreadyStarting;
    if (context.launchPaused) return StartAnswer::LaunchPaused;
    state.startAsked = true;  // also for a window gone since the last pass, whose end is judged next
    state.retryAt = 0;
    if (state.window != 0) return StartAnswer::Starting;
    state.phase = ProgramPhase::Absent;
    state.lingeringProcessId = 0;
    return StartAnswer::Starting;
}

}  // namespace vigilon
