#include "engine/watch_engine.h"

#include "engine/outputs/metrics_text.h"

namespace vigilon {

StatusSnapshot WatchEngine::Snapshot() { return TakeSnapshot(true); }

std::vector<ProgramStatus> WatchEngine::Status() { return Snapshot().Rows(); }

std::optional<ProgramFacts> WatchEngine::AlertFactsOf(std::wstring const& program) {
    StatusSnapshot snapshot = TakeSnapshot(false);
    for (ProgramFacts& facts : snapshot.programs) {
        if (facts.row.name == program) return std::move(facts);
    }
    return std::nullopt;
}

std::vector<ProgramStatus> WatchEngine::StatusOnScreen() {
    // Asked twice a second while the Status window is open, where each question of the desktop is
    // a round trip under Wine: the windows are asked for only while the passes lag behind.
    return TakeSnapshot(watchBusy_ || Now() - lastPassEnded_ > kPassesLagAfter).Rows();
}

StatusSnapshot WatchEngine::TakeSnapshot(bool confirmWindows) {
    std::int64_t const now = Now();
    StatusSnapshot snapshot;
    snapshot.version = version_;
    snapshot.computer = computer_;
    snapshot.runningSince = startedAt_;
    snapshot.taken = platform_.events.LocalTimeNow();
    snapshot.watching = WatchingNow();
    snapshot.settingsProblems = settingsProblems_;
    snapshot.nextReboot = escalation_.NextReboot(launchPaused_);
    Supervisor::RowFacts const facts{launchPaused_, now, snapshot.taken, confirmWindows, !host_.Watching() && !host_.Ending()};
    snapshot.programs.reserve(static_cast<std::size_t>(programs_.Count()));
    for (int i = 1; i <= programs_.Count(); ++i) {
        ProgramState const* state = supervisor_.Find(programs_[i].name);
        snapshot.programs.push_back(FactsOf(supervisor_.StatusOf(programs_[i], state, facts), state, now, snapshot.taken));
    }
    return snapshot;
}

std::vector<std::uint64_t> WatchEngine::QuietMetrics() {
    std::int64_t const now = Now();
    // The watching state too: a notice that holds the passes writes no history line.
    std::vector<std::uint64_t> facts{static_cast<std::uint64_t>(WatchingNow()), launchPaused_,
                                     static_cast<std::uint64_t>(programs_.Count())};
    facts.reserve(facts.size() + 5 * static_cast<std::size_t>(programs_.Count()));
    for (int i = 1; i <= programs_.Count(); ++i) {
        ProgramState const* state = supervisor_.Find(programs_[i].name);
        facts.push_back(static_cast<std::uint64_t>(supervisor_.RowState(programs_[i], state, launchPaused_, now)));
        facts.push_back(state == nullptr ? 0 : state->window.processId);
        facts.push_back(state == nullptr || !state->memoryLimit ? 0 : state->memory.Bytes());
        // A check's result changes the metrics without a line in the history.
        facts.push_back(state == nullptr || !state->health.last ? 0 : 1 + state->health.last->verdict.works);
        // And the state it shows: Unhealthy from the check that reaches the count, not at the refresh.
        facts.push_back(state == nullptr ? 0 : 2 * state->health.Failing() + state->health.told);
    }
    return facts;
}

void WatchEngine::PublishMetrics() {
    std::int64_t const now = Now();
    metrics_.Collect(now);
    if (!metrics_.Due(now)) return;
    // The text is made only when something it shows may have changed: a line in the history, or
    // what changes without one.
    std::vector<std::uint64_t> quiet = QuietMetrics();
    if (revision_ == metricsRevision_ && quiet == metricsQuiet_ && !metrics_.RefreshDue(now)) return;
    metricsRevision_ = revision_;
    metricsQuiet_ = std::move(quiet);
    metrics_.Offer(now, MetricsText(TakeSnapshot(false)));
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
    // Awaited a moment, so that the file left behind is this one; a share that does not answer
    // holds up the end no longer.
    if (!metrics_.WriteLast(MetricsText(last))) {
        Log(L"metrics", {}, L"the last could not be written to " + metrics_.Path() + L" as Vigilon ended");
    }
}

void WatchEngine::MetricsFailed(std::wstring const& path) {
    Log(L"metrics", {}, L"cannot be written to " + path);
    host_.ShowNotice(L"The metrics could not be written to " + path + L".");
    reporter_.Report(TroubleKind::MetricsUnwritable, {}, path);
}

}  // namespace vigilon
