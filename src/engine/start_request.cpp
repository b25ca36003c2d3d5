#include "engine/start_request.h"

#include <utility>

namespace vigilon {

StartReply AskToStart(WatchedProgram const& record, ProgramState& state, StartContext const& context) {
    if (record.caption.empty() && !Windowless(record.rules)) return {StartAnswer::NoCaption};
    if (!context.watching) return {StartAnswer::EditorOpen};
    if (context.windowThere) return {StartAnswer::AlreadyRunning};
    if (state.phase == ProgramPhase::Starting) return {StartAnswer::AlreadyStarting};
    if (context.launchPaused) return {StartAnswer::LaunchPaused};
    if (std::wstring missing = context.missingFile ? context.missingFile() : L""; !missing.empty()) {
        return {StartAnswer::MissingFile, std::move(missing)};
    }
    if (context.noticeWaits) return {StartAnswer::NoticeWaits};
    state.startAsked = true;  // also for a window gone since the last pass, whose end is judged next
    state.retryAt = 0;
    if (state.window.Present()) return {StartAnswer::Starting};
    MovePhase(state, ProgramPhase::Absent);
    state.lingeringProcessId = 0;
    return {StartAnswer::Starting};
}

}  // namespace vigilon
