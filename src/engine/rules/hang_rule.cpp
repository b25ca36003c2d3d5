#include "engine/rules/hang_rule.h"

#include "engine/rules/rule.h"

namespace vigilon {

bool AskWhetherItAnswers(Platform& platform, ProgramState& state, std::int64_t now) {
    if (state.answers.Asking() || !platform.processes.AskToAnswer(state.window)) return false;
    state.answers.Asked(now);
    return true;
}

namespace {

// HangSeconds: a window that leaves a question unanswered that long, once it has answered once or
// its start-up allowance is over, is restarted. The setting is Vigilon's, not the program's.
class HangRule final : public Rule {
public:
    void Read(RuleTexts const&, ProgramState&) const override {}
    void Found(RuleContext const& context, ProgramState& state) const override {
        state.answers.Clear();
        state.startup.Found(context.now);
    }
    std::optional<RestartAsk> RestartDue(WatchedProgram const&, RuleContext const& context,
                                         ProgramState& state) const override {
        if (context.hangSeconds <= 0) {
            state.answers.Clear();
            return std::nullopt;
        }
        std::int64_t const late = state.answers.Unanswered(context.now);
        if (late < std::int64_t{context.hangSeconds} * 1000 || !state.startup.Over(context.now)) return std::nullopt;
        std::wstring const seconds = std::to_wstring(late / 1000);
        return RestartAsk{RestartReason::Hung, seconds, L"no answer for " + seconds + L" s"};
    }
    void Unrestarted(RuleContext const& context, ProgramState& state) const override {
        if (context.hangSeconds > 0) AskWhetherItAnswers(context.platform, state, context.now);
    }
    void Forget(ProgramState& state) const override { state.answers.Clear(); }
};

}  // namespace

Rule const& TheHangRule() {
    static HangRule const rule;
    return rule;
}

}  // namespace vigilon
