#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings_check.h"
#include "app/watched_program.h"
#include "engine/program_counts.h"
#include "engine/program_state.h"
#include "engine/program_status.h"
#include "platform/event_loop.h"

namespace vigilon {

// Whether the passes run: watching, watching with launching paused, or stopped while the user
// edits the list.
enum class WatchingState : std::uint8_t { Watching, Paused, Stopped };

// The fixed words for scripts: "watching", "paused", "stopped: the editor is open".
std::wstring_view WatchingWord(WatchingState state);

// The fixed word for scripts of a program's state ("running", "not_responding", ...): unlike
// StatusText, never reworded.
std::wstring_view StateWord(StatusState state);

// The history's last line for a program.
struct LastEvent {
    LocalTime time{};
    std::wstring word;  // empty: none yet
    std::wstring details;
};

// What is known of one program at one moment: its Status window row and what lies behind it.
struct ProgramFacts {
    ProgramStatus row;
    std::optional<LocalTime> upSince;           // while its window is there
    std::optional<LocalTime> lastStart;         // when Vigilon last started it
    LastEvent lastEvent;
    std::optional<LocalTime> nextDailyRestart;  // the next of its RestartAt times
    std::optional<std::uint64_t> memoryBytes;   // the memory read last, where its limit reads it
    std::optional<LocalTime> nextStart;         // while it backs off
    std::wstring waitingFor;                    // what its start waits for; empty for nothing
    ProgramCounts counts;
};

// One model of the facts, which the Status window, /status, the JSON document and the metrics
// all read.
struct StatusSnapshot {
    std::wstring version;
    std::wstring computer;
    LocalTime runningSince{};
    LocalTime taken{};  // when the facts were gathered
    int utcOffsetMinutes = 0;
    WatchingState watching = WatchingState::Watching;
    std::vector<ProgramFacts> programs;
    std::vector<SettingsProblem> settingsProblems;  // what the settings file holds that Vigilon does not read as written

    std::vector<ProgramStatus> Rows() const;
};

// The facts of a program behind its row, at monotonic time `now` and local time `local`.
ProgramFacts FactsOf(ProgramStatus row, ProgramState const* state, std::int64_t now, LocalTime const& local);

// The next of `times` (minutes after midnight) after `local`: today's, or else tomorrow's first;
// none without times.
std::optional<LocalTime> NextDailyTime(std::vector<int> const& times, LocalTime const& local);

}  // namespace vigilon
