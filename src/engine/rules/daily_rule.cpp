#include "engine/rules/rule.h"

namespace vigilon {
namespace {

// RestartAt: the window is restarted at each of the program's daily times (see DailySchedule).
class DailyRule final : public Rule {
public:
    void Read(RuleTexts const& texts, ProgramState& state) const override {
        RuleValue<std::vector<int>> times = ParseRestartTimes(texts.Now().restartAt);
        state.restartTimes = std::move(times.value).value_or(std::vector<int>{});
        texts.Refuse(kRestartAtKey, &RestartRules::restartAt, times.problem);
    }
    // Looked at every pass, so that a time that goes by while the program is not running, or
    // launching is paused, is skipped rather than done late.
    void Look(RuleContext const& context, ProgramState& state) const override {
        state.dailyDue = !state.restartTimes.empty() &&
                         state.schedule.Due(context.platform.events.LocalTimeNow(), state.restartTimes);
    }
    std::optional<RestartAsk> RestartDue(WatchedProgram const&, RuleContext const&, ProgramState& state) const override {
        if (!state.dailyDue) return std::nullopt;
        return RestartAsk{RestartReason::Scheduled, {}, {}};
    }
};

}  // namespace

Rule const& TheDailyRule() {
    static DailyRule const rule;
    return rule;
}

}  // namespace vigilon
