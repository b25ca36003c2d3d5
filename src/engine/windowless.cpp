#include "engine/watch_engine.h"

namespace vigilon {

WatchEngine::Outcome WatchEngine::WatchWindowless(int number) {
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    // One process, one program: a process another program holds is not taken.
    auto const taken = [&](std::uint32_t processId) {
        for (auto const& [name, other] : supervisor_.Book()) {
            if (name != record.name && other.window.processId == processId) return true;
        }
        return false;
    };
    std::uint32_t const process = processes_.Find(record, state.window.processId, state.startedProcessId, taken);
    // Nothing is hidden, placed or asked whether it answers: there is no window.
    supervisor_.ObserveProcess(record, state, process);
    supervisor_.Supervise(record, state, launchPaused_);
    if (supervisor_.HoldsStart(record, state, launchPaused_) || process != 0) return Outcome::Next;
    if (state.phase == ProgramPhase::Starting) {
        // The process started ended before a pass found it: a failed start, told in the history
        // without a notice (one at every pass, in Box mode a box each, would hold everything up).
        if (supervisor_.StartedProcessEnded(state)) {
            Log(L"exited", record.name, L"process " + std::to_wstring(state.startedProcessId) + L" ended before it was found");
            supervisor_.WindowNeverCame(record, state);
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
