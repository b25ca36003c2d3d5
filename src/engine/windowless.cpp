#include "engine/watch_engine.h"

namespace vigilon {

WatchEngine::Outcome WatchEngine::WatchWindowless(int number) {
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    // One process, one program: a process another program holds is not taken, nor one it waits
    // for (its fresh start, not found yet) or one its window left running.
    auto const taken = [&](std::uint32_t processId) {
        for (auto const& [name, other] : supervisor_.Book()) {
            if (name == record.name) continue;
            bool const starting = other.phase == ProgramPhase::Starting && other.startedProcessId == processId;
            if (other.window.processId == processId || other.lingeringProcessId == processId || starting) return true;
        }
        return false;
    };
    supervisor_.LetGoOfWindow(record, state);
    std::uint32_t const process = processes_.Find(record, state.window.processId, state.startedProcessId, taken);
    // Nothing is hidden, placed or asked whether it answers: there is no window.
    supervisor_.ObserveProcess(record, state, process);
    supervisor_.Supervise(record, state, launchPaused_);
    if (supervisor_.HoldsStart(record, state, launchPaused_) || process != 0) return Outcome::Next;
    if (state.phase == ProgramPhase::Starting) {
        // The process started ended before a pass found it: judged by its exit, and said in one
        // notice until it is found (one at every start, in Box mode a box each, would hold
        // everything up). A launcher that starts the real program and ends is never found.
        if (supervisor_.StartedProcessEnded(state)) {
            if (supervisor_.EndedBeforeFound(record, state)) {
                Notify(record.exe + L" ended right after its start: EXE must name the file that keeps running", record.name);
            }
        } else if (supervisor_.WaitIsOver(state)) {
            WindowNeverCame(record, state);
        }
        return Outcome::Next;
    }
    if (launchPaused_ || !supervisor_.StartDue(state) || supervisor_.HeldByItsProcess(record, state)) {
        return Outcome::Next;
    }
    return Launch(number);
}

}  // namespace vigilon
