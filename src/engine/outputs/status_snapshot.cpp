#include "engine/outputs/status_snapshot.h"

#include <algorithm>

#include "engine/rules/hours_clock.h"
#include "support/local_time.h"

namespace vigilon {

namespace {

// Each watching state's word for scripts and its line above the rows, by the state.
struct WatchingTexts {
    std::wstring_view word;
    std::wstring_view headline;
};
constexpr WatchingTexts kWatchingTexts[] = {
    {L"watching", L""},
    {L"paused", L"Launching paused"},
    {L"stopped: the editor is open", L"Stopped: the editor is open"},
    {L"held: a notice waits for OK", L"Held: a notice waits for OK"},
    {L"held: a start waits for its window", L"Held: a start waits for its window"},
    {L"held: a pass has not ended", L"Held: a pass has not ended"},
};

// The next of `times` (minutes after midnight) after `local`: today's, or else tomorrow's first;
// none without times.
std::optional<LocalTime> NextDailyTime(std::vector<int> const& times, LocalTime const& local) {
    if (times.empty()) return std::nullopt;
    int const minute = local.hour * 60 + local.minute;
    auto const later = std::find_if(times.begin(), times.end(), [&](int time) { return time > minute; });
    int const next = later != times.end() ? *later : *std::min_element(times.begin(), times.end()) + 24 * 60;
    LocalTime midnight = local;
    midnight.hour = midnight.minute = midnight.second = midnight.millisecond = 0;
    return AddMilliseconds(midnight, std::int64_t{next} * 60'000);
}

}  // namespace

std::wstring_view WatchingWord(WatchingState state) { return kWatchingTexts[static_cast<std::size_t>(state)].word; }

std::wstring_view WatchingHeadline(WatchingState state) {
    return kWatchingTexts[static_cast<std::size_t>(state)].headline;
}

std::vector<ProgramStatus> StatusSnapshot::Rows() const {
    std::vector<ProgramStatus> rows;
    rows.reserve(programs.size());
    for (ProgramFacts const& facts : programs) rows.push_back(facts.row);
    return rows;
}

bool StatusSnapshot::AllWell() const { return watching == WatchingState::Watching && AllRunning(Rows()); }

std::wstring StatusReport(StatusSnapshot const& snapshot) {
    std::wstring_view const headline = WatchingHeadline(snapshot.watching);
    std::wstring report = headline.empty() ? std::wstring() : std::wstring(headline) + L"\r\n";
    return report + StatusTable(snapshot.Rows());
}

ProgramFacts FactsOf(ProgramStatus row, ProgramState const* state, std::int64_t now, LocalTime const& local) {
    ProgramFacts facts;
    facts.row = std::move(row);
    if (state == nullptr) return facts;
    facts.counts = state->counts;
    if (state->starts > 0) facts.lastStart = state->startTime;
    facts.lastEvent = state->lastEvent;
    // The window's own: none while there is none (backing off, closed, before the next start).
    if (state->health.check && state->window.Present() && facts.row.state != StatusState::NoCaption) {
        facts.lastCheck = state->health.last;
    }
    if (facts.row.state == StatusState::NoCaption || facts.row.state == StatusState::Stopped) return facts;
    // Only while its window is there: a process a gone window left running is not up since then.
    if (facts.row.processId != 0 && !facts.row.upSince.empty()) facts.upSince = state->window.foundTime;
    facts.waitingFor = facts.row.waitingFor;
    if (facts.row.state == StatusState::Off && state->hours.nextStart) {
        facts.nextStart = WallMinuteTime(*state->hours.nextStart, local);
    }
    if (facts.row.state == StatusState::Waiting && state->phase == ProgramPhase::BackingOff) {
        facts.nextStart = AddMilliseconds(local, state->backoff.NotBefore() - now);
    }
    if (state->memoryLimit && state->window.Present() && state->memory.Bytes() != 0) facts.memoryBytes = state->memory.Bytes();
    facts.nextDailyRestart = NextDailyTime(state->restartTimes, local);
    return facts;
}

}  // namespace vigilon
