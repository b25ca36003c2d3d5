#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/restart_rules.h"
#include "app/watched_programs.h"
#include "engine/program_state.h"
#include "engine/program_status.h"
#include "engine/supervisor.h"
#include "platform/platform.h"

namespace vigilon {

// When a program's first start may go ahead: StartDelay, StartAfter and WaitFor with WaitSeconds.
// The rules hold the first start after Vigilon starts, and the first after launching resumes from
// a pause (Launch Programs); a program that ends later is started again at once, and one found
// running needs no wait.
//
// How a wait goes: it begins when the program's start is due and a rule holds it (the history says
// `waiting`, and what for). First the delay, counted from Vigilon's start or the resume; then, for
// at most WaitSeconds, until the program named by StartAfter has its window found and answering
// and the WaitFor path exists or its server takes a connection. It ends with `ready` (the details
// say when it was met, or that the start goes ahead anyway), or with `cancelled` when launching is
// paused meanwhile. A WaitFor check runs on the platform's probe, at most every kCheckMilliseconds
// for each program, and the pass only reads the results: nothing here waits.
class Readiness {
public:
    static constexpr std::int64_t kCheckMilliseconds = 2'000;

    Readiness(Platform& platform, SupervisionJournal& journal, WatchedPrograms const& programs,
              Supervisor const& supervisor);
    Readiness(Readiness const&) = delete;
    Readiness& operator=(Readiness const&) = delete;
    ~Readiness();

    // Vigilon starts, or launching resumes after a pause: every program's next start waits for its
    // rules again.
    void Arm();

    // Asked at every visit of the pass, after the supervisor has seen the program: true while its
    // start is held. A program with a window, or started some other way, has its wait over.
    bool Holds(WatchedProgram const& record, ProgramState const& state, bool launchPaused);

    // Makes the row of a program whose start is held say so: Waiting, until the delay's end or for
    // what it waits for.
    void Describe(ProgramStatus& row, bool launchPaused) const;

private:
    // One program's wait since the last Arm.
    struct Wait {
        std::uint64_t round = 0;        // the Arm it belongs to
        bool pending = true;            // its first start of this round is still to come
        bool waiting = false;           // the wait began: a `waiting` line was written
        std::int64_t began = 0;         // monotonic: when it began
        std::int64_t delayEnds = 0;     // monotonic: the end of StartDelay
        std::int64_t conditionsSince = -1;  // monotonic: when the delay was over; -1 not yet
        std::uint32_t ticket = 0;       // the WaitFor check under way; 0 none
        std::int64_t nextCheck = 0;     // monotonic: no check begins before then
        std::int64_t nextAsk = 0;       // monotonic: StartAfter's window is not asked again before then
        bool afterMet = false;          // StartAfter's program answered, at the last look
    };
    // A program's rules as read, with what was said of them.
    struct Rules {
        RestartRules read;              // the texts last read
        int delaySeconds = 0;
        std::optional<WaitTarget> target;
        std::wstring targetText;        // WaitFor as the user wrote it, trimmed
        int waitSeconds = kDefaultWaitSeconds;
        std::wstring afterText;         // StartAfter as last looked up
        std::wstring after;             // the program it names, as listed; empty when none or ignored
        std::wstring afterSaid;         // the problem with StartAfter last said
    };
    struct Entry {
        Rules rules;
        Wait wait;
    };

    std::int64_t Now() const { return platform_.events.MonotonicMilliseconds(); }
    // Monotonic: when StartDelay, counted from the last Arm, is over.
    std::int64_t DelayEnds(Rules const& rules) const;
    Entry& EntryOf(std::wstring const& name);
    void ReadRules(WatchedProgram const& record, Rules& rules);
    void LookUpAfter(WatchedProgram const& record, Rules& rules);
    // True when StartAfter's program has its window found and answering; asks it when it is not known yet.
    bool AfterMet(Rules const& rules, Wait& wait);
    // True when WaitFor's target was found there by the last check; begins the next check when due.
    bool TargetThere(Rules const& rules, Wait& wait);
    void Begin(WatchedProgram const& record, Rules const& rules, Wait& wait);
    // The wait is over: the history says `event` with `details`, and a check under way is dropped.
    void End(WatchedProgram const& record, Wait& wait, std::wstring_view event, std::wstring const& details);
    void ForgetUnlisted();
    // What is still awaited: "Kiosk", "\\server\share", "Kiosk and db:1433".
    static std::wstring Awaited(Rules const& rules, Wait const& wait);

    Platform& platform_;
    SupervisionJournal& journal_;
    WatchedPrograms const& programs_;
    Supervisor const& supervisor_;
    std::map<std::wstring, Entry> entries_;
    std::uint64_t round_ = 1;
    std::int64_t armedAt_ = 0;  // monotonic
};

}  // namespace vigilon
