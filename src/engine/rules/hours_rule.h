#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/program_state.h"
#include "engine/rules/readiness.h"
#include "engine/rules/rule.h"
#include "engine/supervisor.h"
#include "platform/platform.h"

namespace vigilon {

// Hours: a program runs only inside its opening hours, read on the local clock (HoursClock).
//
// At the end of its hours its window is asked to close as a planned end, the graceful restart's
// steps and no trouble (history `off`), and it is not started again; at the next start of its
// hours it is started (history `on`), its StartDelay, StartAfter and WaitFor applying as after
// Vigilon's start, also one left closed (Restart=Failure) unless launching is paused then; within
// its hours a program left closed stays closed. Outside its hours it is Off: not started, at
// Vigilon's start neither. A person's start outside them (/start, Launch Programs) starts it, and it
// is then watched until the end of the next range when one begins within 24 hours, otherwise until
// it is closed (a crash there is trouble, and it is started again as Restart says); a program found
// running outside its hours (at Vigilon's start, when its hours are set, or started by hand while
// it is off) is left running the same way, never ended. Nothing is closed while launching is paused or the window is left alone:
// the supervisor asks no rule then.
class HoursRule final : public Rule {
public:
    // An override lasts until the end of the next range only when that range begins within this long.
    static constexpr std::int64_t kOverrideReach = 24 * 60;  // minutes

    HoursRule(Platform& platform, SupervisionJournal& journal, Supervisor& supervisor, Readiness const& readiness);
    HoursRule(HoursRule const&) = delete;
    HoursRule& operator=(HoursRule const&) = delete;

    // Launch Programs: every program off outside its hours is started, as a person asked.
    void LaunchAsked();

    void Read(RuleTexts const& texts, ProgramState& state) const override;
    // Looks at the clock at every visit of the pass: the edges of the hours, a person's start.
    // True while the program is off.
    bool HoldsStart(WatchedProgram const& record, ProgramState& state, bool launchPaused) const override;
    // Off, with its window there: asked to close as a planned end.
    std::optional<RestartAsk> RestartDue(WatchedProgram const& record, RuleContext const& context,
                                         ProgramState& state) const override;
    // "Off until Mon 08:00".
    void Describe(ProgramStatus& row, ProgramState const& state, bool launchPaused) const override;

private:
    void On(WatchedProgram const& record, ProgramState& state, bool reopen) const;
    void Off(WatchedProgram const& record, ProgramState& state) const;
    // A person's start outside the hours, or a program found running outside them: until when.
    void Override(WatchedProgram const& record, ProgramState& state, std::wstring const& why) const;
    static bool OverrideOver(ProgramState const& state, std::int64_t at);
    LocalTime const& LocalNow() const;

    Platform& platform_;
    SupervisionJournal& journal_;
    Supervisor& supervisor_;
    Readiness const& readiness_;
    mutable std::int64_t readAt_ = -1;  // the pass time the local time was read at
    mutable LocalTime read_{};
};

}  // namespace vigilon
