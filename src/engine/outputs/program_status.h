#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

// What a program is doing, as the status window and /status show it.
enum class StatusState : std::uint8_t {
    Running,        // its window is there
    Starting,       // started, or about to be: its window awaited
    Waiting,        // backing off after quick ends, or its start held, until `nextStart` or for `waitingFor`
    NotResponding,  // a hang restart under way
    Restarting,     // a restart for another reason under way
    Paused,         // launching paused, and its window not there: "Not running (launching paused)"
    MissingFile,    // its executable (or jar) is missing: launching stopped on it
    NoCaption,      // it has no caption, so it is not watched
    Stopped,        // watching is stopped (the editor is open): what it does is not known
    Closed,         // Restart=Failure: it ended well, and is left closed until someone starts it
    Unhealthy,      // its window is there, but its health check failed as many times in a row as it allows
    Off,            // outside its opening hours: not started until `nextStart` (said as "Mon 08:00"); counts neither up nor down
};

// How a program in a state counts for /status's exit code and the heartbeat: up, down, or not at
// all (one without a caption is not watched).
enum class StateCount : std::uint8_t { Up, Down, Uncounted };

// A state's words and how it counts. The table holds one row per state, in the order of StatusState;
// a new state is one row there.
struct StatusStateRow {
    StatusState state;
    std::wstring_view text;  // what the Status window shows ("Not responding"); may be reworded
    std::wstring_view word;  // the fixed word for scripts, /status /json and the metrics ("not_responding")
    StateCount count;
};
std::span<StatusStateRow const> StatusStates();
StatusStateRow const& StateRow(StatusState state);

// The fixed word for scripts of a program's state ("running", "not_responding", ...): unlike its
// text, never reworded.
std::wstring_view StateWord(StatusState state);

// One program's row.
struct ProgramStatus {
    std::wstring name;
    StatusState state = StatusState::Starting;
    std::wstring nextStart;       // local time hh:mm:ss of the next start, while Waiting
    std::wstring waitingFor;      // what its start waits for ("Kiosk", "\\server\share"), while Waiting
    std::uint32_t processId = 0;  // the process of its window; 0 for none
    std::wstring upSince;         // local time its window was found, while it runs
    int starts = 0;               // starts by Vigilon since Vigilon started
    std::wstring lastEvent;       // the history's last line for it: time and event
    bool launchPaused = false;    // launching is paused, and it would be started otherwise
    std::wstring placement;       // while it runs, why its window could not be placed; empty when nothing is wrong
    std::wstring health;          // while Unhealthy, what its check found ("HTTP 503 after 0.2 s")
    bool windowless = false;      // Window=None: it has no window to show, hide or take a picture of
    int escalationMinutes = 0;    // Escalate= set: the minutes its troubles are counted in; 0 when off
    int escalationCount = 0;      // its troubles counted within them
    std::wstring escalationNext;  // the step the count reaches next ("10:reboot"); empty when none

    bool operator==(ProgramStatus const&) const = default;
};

// The six cells of a row, in the columns' order: Program, State, Process, Up since, Starts, Last event.
inline constexpr int kStatusColumns = 6;
std::vector<std::wstring> StatusCells(ProgramStatus const& row);
std::vector<std::wstring> StatusHeadings();

// The table as /status prints it: a header line, then a line per program, cells separated by tabs.
std::wstring StatusTable(std::vector<ProgramStatus> const& rows);

// True when every program that counts is up (running): /status's exit code is 0 then, 1 else.
bool AllRunning(std::vector<ProgramStatus> const& rows);

}  // namespace vigilon
