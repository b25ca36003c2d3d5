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
#include "engine/outputs/program_status.h"
#include "platform/event_loop.h"

namespace vigilon {

// Whether the passes run: watching, watching with launching paused, stopped while the user edits
// the list, or held by a pass that does not end: at once while a notice waits for OK, and once it
// has lasted a few seconds while a start waits for its window or for any other reason.
enum class WatchingState : std::uint8_t { Watching, Paused, Stopped, HeldByNotice, HeldByStart, HeldByPass };

// The fixed words for scripts: "watching", "paused", "stopped: the editor is open", "held: a
// notice waits for OK", "held: a start waits for its window", "held: a pass has not ended".
std::wstring_view WatchingWord(WatchingState state);

// The line /status and the Status window show above the rows: "Launching paused", "Held: a notice
// waits for OK", ...; empty while watching.
std::wstring_view WatchingHeadline(WatchingState state);

// What is known of one program at one moment: its Status window row and what lies behind it.
struct ProgramFacts {
    ProgramStatus row;
    std::optional<LocalTime> upSince;           // while its window is there
    std::optional<LocalTime> lastStart;         // when Vigilon last started it
    LastEvent lastEvent;
    std::optional<LocalTime> nextDailyRestart;  // the next of its RestartAt times
    std::optional<std::uint64_t> memoryBytes;   // the memory read last, where its limit reads it
    std::optional<LocalTime> nextStart;         // while it backs off, or is off outside its hours
    std::wstring waitingFor;                    // what its start waits for; empty for nothing
    ProgramCounts counts;
    std::optional<HealthWatch::Result> lastCheck;  // its health check's last result counted; none without a check
};

// One model of the facts, which the Status window, /status, the JSON document and the metrics
// all read.
struct StatusSnapshot {
    std::wstring version;
    std::wstring computer;
    LocalTime runningSince{};
    LocalTime taken{};  // when the facts were gathered
    WatchingState watching = WatchingState::Watching;
    std::vector<ProgramFacts> programs;
    std::vector<SettingsProblem> settingsProblems;  // what the settings file holds that Vigilon does not read as written
    std::wstring nextReboot;  // when the PC restarts next, by a countdown or RebootAt (ISO 8601); empty for none

    std::vector<ProgramStatus> Rows() const;
    // True when all is well: watching, and every program that has a caption running.
    bool AllWell() const;
};

// The status as /status prints it: the line that says why not all is watched, when one does, then
// the table of the rows.
std::wstring StatusReport(StatusSnapshot const& snapshot);

// The facts of a program behind its row, at monotonic time `now` and local time `local`.
ProgramFacts FactsOf(ProgramStatus row, ProgramState const* state, std::int64_t now, LocalTime const& local);

}  // namespace vigilon
