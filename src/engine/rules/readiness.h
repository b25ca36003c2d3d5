#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/watched_programs.h"
#include "engine/program_state.h"
#include "engine/outputs/program_status.h"
#include "engine/rules/rule.h"
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
// for each program, and the pass only reads the results: nothing here waits. Each program's wait
// is kept in its state (StartWait).
class Readiness final : public Rule {
public:
    static constexpr std::int64_t kCheckMilliseconds = 2'000;

    Readiness(Platform& platform, SupervisionJournal& journal, WatchedPrograms const& programs, Supervisor& supervisor);
    Readiness(Readiness const&) = delete;
    Readiness& operator=(Readiness const&) = delete;
    ~Readiness() override;

    // Vigilon starts, or launching resumes after a pause: every program's next start waits for its
    // rules again.
    void Arm();
    // The program's opening hours began: its next start waits for its rules again, its delay
    // counted from now.
    void ArmOne(ProgramState& state) const;

    // Asked at every visit of the pass, after the supervisor has seen the program: true while its
    // start is held. A program with a window, or started some other way, has its wait over.
    bool HoldsStart(WatchedProgram const& record, ProgramState& state, bool launchPaused) const override;

    void Read(RuleTexts const& texts, ProgramState& state) const override;
    // Makes the row of a program whose start is held say so: Waiting, until the delay's end or for
    // what it waits for.
    void Describe(ProgramStatus& row, ProgramState const& state, bool launchPaused) const override;
    void Unlisted(std::wstring const&, ProgramState& state) const override { Drop(state.start); }

private:
    std::int64_t Now() const { return platform_.events.MonotonicMilliseconds(); }
    // Monotonic: when StartDelay, counted from the last Arm, is over.
    std::int64_t DelayEnds(StartWait const& wait) const;
    // The program's wait, begun afresh when launching was armed since.
    StartWait& WaitOf(std::wstring const& name, ProgramState& state) const;
    void LookUpAfter(WatchedProgram const& record, StartWait& wait) const;
    // True when StartAfter's program has its window found and answering; asks it when it is not known yet.
    bool AfterMet(StartWait& wait) const;
    // True when WaitFor's target was found there by the last check; begins the next check when due.
    bool TargetThere(StartWait& wait) const;
    void Begin(WatchedProgram const& record, StartWait& wait) const;
    // The wait is over: the history says `event` with `details`, and a check under way is dropped.
    void End(WatchedProgram const& record, StartWait& wait, std::wstring_view event, std::wstring const& details) const;
    void Drop(StartWait& wait) const;
    // What is still awaited: "Kiosk", "\\server\share", "Kiosk and db:1433".
    static std::wstring Awaited(StartWait const& wait);

    Platform& platform_;
    SupervisionJournal& journal_;
    WatchedPrograms const& programs_;
    Supervisor& supervisor_;
    std::uint64_t round_ = 1;
    std::int64_t armedAt_ = 0;  // monotonic
};

}  // namespace vigilon
