#include "engine/watch_engine.h"

#include "engine/metrics_text.h"

namespace vigilon {

StatusSnapshot WatchEngine::Snapshot() { return TakeSnapshot(true); }

std::vector<ProgramStatus> WatchEngine::Status() { return Snapshot().Rows(); }

StatusSnapshot WatchEngine::TakeSnapshot(bool confirmWindows) {
    std::int64_t const now = Now();
    StatusSnapshot snapshot;
    snapshot.version = version_;
    snapshot.computer = computer_;
    snapshot.runningSince = startedAt_;
    snapshot.taken = platform_.events.LocalTimeNow();
    snapshot.utcOffsetMinutes = platform_.events.UtcOffsetMinutes();
    // With the editor open no pass runs: what was last seen may be long gone.
    bool const stopped = !host_.Watching() && !host_.Ending();
    snapshot.watching = stopped ? WatchingState::Stopped : launchPaused_ ? WatchingState::Paused : WatchingState::Watching;
    snapshot.programs.reserve(static_cast<std::size_t>(programs_.Count()));
    auto const notRunning = [](ProgramStatus& row, StatusState state) {
        row.state = state;
        row.processId = 0;
        row.upSince.clear();
    };
    for (int i = 1; i <= programs_.Count(); ++i) {
        ProgramState const* state = supervisor_.Find(programs_[i].name);
        ProgramStatus row = supervisor_.StatusOf(programs_[i], state, launchPaused_, now, snapshot.taken);
        readiness_.Describe(row, launchPaused_);
        if (row.state == StatusState::Running) row.placement = placements_.Problem(programs_[i].name);
        // A window gone since the pass last looked (or while a pass waits for another program's
        // window in Box mode) is not running: the next pass starts the program again. Asked of the
        // desktop only for someone reading now, not for what the passes publish as they go.
        if (confirmWindows && row.state == StatusState::Running && platform_.desktop.WindowProcessId(state->window) == 0) {
            notRunning(row, launchPaused_ ? StatusState::Paused : StatusState::Starting);
        }
        if (stopped && row.state != StatusState::NoCaption) notRunning(row, StatusState::Stopped);
        snapshot.programs.push_back(FactsOf(std::move(row), state, now, snapshot.taken));
    }
    return snapshot;
}

void WatchEngine::PublishMetrics() {
    if (!metrics_.Due(Now())) return;
    metrics_.Offer(Now(), MetricsText(TakeSnapshot(false)));
}

void WatchEngine::PublishLastMetrics() {
    if (metrics_.Path().empty()) return;
    // Vigilon ends: a file left saying that every program runs would keep a dashboard green.
    StatusSnapshot last = TakeSnapshot(false);
    last.watching = WatchingState::Stopped;
    for (ProgramFacts& program : last.programs) {
        if (program.row.state == StatusState::NoCaption) continue;
        program.row.state = StatusState::Stopped;
        program.row.processId = 0;
        program.row.upSince.clear();
        program.upSince.reset();
    }
    metrics_.WriteLast(MetricsText(last));
}

void WatchEngine::MetricsFailed(std::wstring const& path) {
    Log(L"metrics", {}, L"cannot be written to " + path);
    host_.ShowNotice(L"The metrics could not be written to " + path + L".");
    reporter_.Report(TroubleKind::MetricsUnwritable, {}, path);
}

void WatchEngine::WatchingStopped(std::wstring_view why) { Log(L"stopped", {}, why); }

void WatchEngine::WatchingResumed(std::wstring_view why) { Log(L"watching", {}, why); }

}  // namespace vigilon
