#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "engine/program_state.h"
#include "engine/rules/rule.h"
#include "engine/supervisor.h"
#include "platform/platform.h"

namespace vigilon {

// IdleRestart: when nobody has used the keyboard or mouse for the program's minutes (the session's
// last input, from the platform) and its window is on screen, the program is restarted once, as a
// planned restart, for the next person; not again until someone has used the PC and left it idle
// that long again. Not while a Vigilon dialog or countdown is shown (SetDialogShown), nor outside
// its hours; the supervisor asks no rule while launching is paused, and no pass runs while the
// editor is open. A program without a window (Window=None) has nothing on screen: its IdleRestart
// is refused, said once, and it is never restarted for it; nor is one whose window came after the
// last input: nobody used it since it started.
class IdleRule final : public Rule {
public:
    // An input counts as new when it is this much later than the one the last restart followed:
    // the last input's time is read from two clocks, and may move by a tick between readings.
    static constexpr std::int64_t kInputSlack = 2'000;

    // `countingDown` tells whether the escalation's countdown to a logoff, restart or shutdown runs:
    // the idle restart holds while it does, as it does for a dialog.
    IdleRule(Platform& platform, Supervisor& supervisor, std::function<bool()> countingDown);
    IdleRule(IdleRule const&) = delete;
    IdleRule& operator=(IdleRule const&) = delete;

    // A Vigilon dialog, a notice or a countdown is on screen, or no longer: while one is, nobody's
    // session is taken away under it.
    void SetDialogShown(bool shown) { dialogShown_ = shown; }

    void Read(RuleTexts const& texts, ProgramState& state) const override;
    std::optional<RestartAsk> RestartDue(WatchedProgram const& record, RuleContext const& context,
                                         ProgramState& state) const override;

private:
    Platform& platform_;
    std::function<bool()> countingDown_;
    bool dialogShown_ = false;
};

}  // namespace vigilon
