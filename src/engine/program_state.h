#pragma once

#include <cassert>
#include <cstdint>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/restart_rules.h"
#include "engine/backoff.h"
#include "engine/rules/daily_schedule.h"
#include "engine/rules/escalation_ladder.h"
#include "engine/graceful_restart.h"
#include "engine/rules/hang_timeline.h"
#include "engine/rules/health_watch.h"
#include "engine/rules/hours_watch.h"
#include "engine/rules/memory_watch.h"
#include "engine/rules/placement.h"
#include "engine/program_counts.h"
#include "engine/rules/restart_limits.h"
#include "engine/outputs/trouble.h"
#include "platform/window_handle.h"

namespace vigilon {

// Where a watched program stands between passes.
enum class ProgramPhase : std::uint8_t {
    Unwatched,   // it has no caption, so it claims no window and is never started
    Absent,      // no window: started at the next pass, unless launching is paused
    Starting,    // started, and its window awaited until a deadline
    Running,     // its window is there (for a program without a window, its process)
    BackingOff,  // ended soon after its start: not started again before a moment
    Restarting,  // its window was asked to close, for a reason, and is ended if it neither closes nor answers
    Closed,      // Restart=Failure: it exited with 0, and is left closed until someone starts it
    Lingering,   // Restart=Failure: its window is gone but its process runs on; judged when that ends
    LeftAlone,   // its window is not Vigilon's to end (another program's, or ending it was denied): only asked whether it answers
    Off,         // outside its opening hours (Hours): not started until they begin or someone starts it
};

// The phases a program may move to `to` from, one bit per phase.
constexpr unsigned MovesTo(ProgramPhase to) {
    auto const bit = [](ProgramPhase phase) { return 1u << static_cast<unsigned>(phase); };
    switch (to) {
    case ProgramPhase::Starting: return bit(ProgramPhase::Absent) | bit(ProgramPhase::BackingOff);
    case ProgramPhase::Running: return ~bit(ProgramPhase::Unwatched);
    case ProgramPhase::BackingOff: return bit(ProgramPhase::Absent) | bit(ProgramPhase::BackingOff);
    case ProgramPhase::Restarting:  // a restart asked for also of a window left alone
    case ProgramPhase::Lingering:
        return bit(ProgramPhase::Running) | bit(ProgramPhase::Restarting) | bit(ProgramPhase::LeftAlone);
    case ProgramPhase::Closed:  // from Starting: a process without a window that ended normally before it was found
        return bit(ProgramPhase::Running) | bit(ProgramPhase::Restarting) | bit(ProgramPhase::LeftAlone) |
               bit(ProgramPhase::Lingering) | bit(ProgramPhase::Starting);
    case ProgramPhase::LeftAlone: return bit(ProgramPhase::Restarting);
    case ProgramPhase::Off:  // from Starting: a start whose window did not come before its wait ended, off hours
        return bit(ProgramPhase::Absent) | bit(ProgramPhase::BackingOff) | bit(ProgramPhase::Starting);
    case ProgramPhase::Unwatched:
    case ProgramPhase::Absent: return ~0u;
    }
    return 0;
}

// What StartDelay, StartAfter and WaitFor read of the program's keys, and how its wait stands since
// launching was last armed (see Readiness).
struct StartWait {
    int delaySeconds = 0;
    std::optional<WaitTarget> target;
    std::wstring targetText;            // WaitFor as the user wrote it, trimmed
    int waitSeconds = kDefaultWaitSeconds;
    std::wstring after;                 // the program StartAfter names, as listed; empty when none or ignored
    std::wstring afterSaid;             // the problem with StartAfter last said
    // How the wait stands since the Arm of `number`: each Arm starts it afresh, in one assignment.
    struct Round {
        std::uint64_t number = 0;
        bool pending = true;                // its first start of this round is still to come
        bool waiting = false;               // the wait began: a `waiting` line was written
        std::int64_t began = 0;             // monotonic: when it began
        std::int64_t conditionsSince = -1;  // monotonic: when the delay was over; -1 not yet
        std::uint32_t ticket = 0;           // the WaitFor check under way; 0 none
        std::wstring ticketFor;             // what that check looks for
        std::int64_t nextCheck = 0;         // monotonic: no check begins before then
        std::int64_t nextAsk = 0;           // monotonic: StartAfter's window is not asked again before then
        bool afterMet = false;              // StartAfter's program answered, at the last look
        std::int64_t armedAt = -1;          // monotonic: armed for this program alone (its hours began); -1 with every program
    } round;
};

// The window a placement rule holds: what its keys ask for, and what was taken from the window,
// to be given back (see PlacementKeeper).
struct WindowHold {
    WindowHandle window = 0;
    PlacementRule rule;
    std::optional<std::uint32_t> ownStyle;  // the style it had before it was made full screen
    WindowRect ownRect;                     // and where it was then
    bool madeTopmost = false;               // Vigilon made it topmost
    bool outOfPlace = false;                // the last look found it out of place, and said so
    std::optional<std::uint64_t> asked;     // the request under way
    std::wstring askedFor;                  // its words for the history
    std::wstring problem;                   // why the last placement did not take
};

// What someone away from the PC was told of the program's troubles (see TroubleReporter).
struct TroubleTold {
    bool inTrouble = false;
    std::int64_t lastTroubleAt = 0;                 // monotonic
    std::map<TroubleKind, std::int64_t> lastRunAt;  // the command last run, by kind
    std::map<TroubleKind, int> untold;              // troubles since, by kind
};

// The window the last pass found for the program, and what Vigilon asked of it: a window found,
// a window gone and a caption emptied each start it afresh, in one assignment.
struct ProgramWindow {
    WindowHandle handle = 0;              // 0 for none
    std::uint32_t processId = 0;          // the process that owns it
    std::int64_t foundAt = 0;             // monotonic: when it was found
    LocalTime foundTime{};                // the local date and time it was found
    bool hiddenNoted = false;             // the history says it was hidden, and nothing showed it since
    bool plannedEnd = false;              // Vigilon asked it to close: its going is no trouble
    bool restartAsked = false;            // Vigilon asked it to close for a restart (spared or not, for a while)
    std::int64_t restartAskedEnds = -1;   // pass time: a spared window's request ends then; -1 while it lasts
    bool endedUnanswered = false;         // it did not close when asked nor answer, and Vigilon ended its process
    HangTimeline answers;
    GracefulRestart restart;

    // The program runs: its window was found, or, for a program without a window (Window=None),
    // its process, whose id is then all there is (`handle` stays 0).
    bool Present() const { return handle != 0 || processId != 0; }
};

// The history's last line for a program.
struct LastEvent {
    LocalTime time{};
    std::wstring word;  // empty: none yet
    std::wstring details;
};

// What the engine keeps of one program between passes. Monotonic times are milliseconds; pass
// times are on the pass clock.
struct ProgramState {
    ProgramPhase phase = ProgramPhase::Absent;  // written by MovePhase only
    ProgramWindow window;
    std::uint32_t lingeringProcessId = 0; // while Lingering: the process its window left running
    bool startAsked = false;              // /start asked for a start, which comes before any rule
    std::uint32_t startedProcessId = 0;   // the process Vigilon last started for the program; 0 none known
    std::uint64_t startedProcessAt = 0;   // when that process started, which tells it from a later one of its id
    bool heldByItsProcess = false;        // not started again: that process runs on without a window with its caption
    std::int64_t launchedAt = 0;          // monotonic; 0: never started here
    LocalTime startTime{};                // the local date and time Vigilon last started it
    LastEvent lastEvent;
    ProgramCounts counts;                 // its restarts and exits since Vigilon started
    bool missingFile = false;             // its start stopped on a missing file
    bool memoryUnreadableSaid = false;    // the history said its memory cannot be read
    int starts = 0;                       // how many times Vigilon started it
    bool quickEndSaid = false;            // a start without a window that ended before it was found was said; again once found
    bool launchFailSaid = false;          // a start the shell refused was said; again only after a start
    std::int64_t retryAt = 0;             // monotonic: a failed start (a missing file in Tray mode, a refused one) waits until then
    Backoff backoff;
    StartupAllowance startup;             // a window just found is not called hung yet
    RestartLimit restartLimit;            // the rules' restarts in the last hour, by reason
    SparedWindows spared;                 // windows that answered when about to be ended, by reason
    MemoryWatch memory;
    DailySchedule schedule;
    bool dailyDue = false;                // one of its daily times came at this pass
    RestartRules rulesRead;               // the rules as last read; their unusable values were told of
    RestartWhen restartWhen = RestartWhen::Always;  // Restart as read
    bool noCrashDialog = false;           // CrashDialog=0 as read: started so that a crash ends it at once
    std::optional<int> memoryLimit;       // MaxMemoryMB as read: none when unset or unusable
    std::vector<int> restartTimes;        // RestartAt as read, minutes after midnight
    StartWait start;
    WindowHold placement;
    HealthWatch health;
    TroubleTold trouble;
    EscalationLadder escalation;          // Escalate and EscalateMinutes as read, and the troubles counted
    HoursWatch hours;                     // Hours and IdleRestart as read, and how the program stands with them
};

// The one writer of a program's phase: a move from a phase it is not allowed from is a fault of
// the engine's.
inline void MovePhase(ProgramState& state, ProgramPhase to) {
    assert((MovesTo(to) >> static_cast<unsigned>(state.phase)) & 1u);
    state.phase = to;
}

}  // namespace vigilon
