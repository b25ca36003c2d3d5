#include "engine/rules/rule.h"

namespace vigilon {
namespace {

// Restart: Always, or Failure, which leaves closed a program that exited with 0 (see JudgeEnd).
// CrashDialog is read as the program starts; a value of it that cannot be used is said here.
class RestartWhenRule final : public Rule {
public:
    void Read(RuleTexts const& texts, ProgramState& state) const override {
        RuleValue<RestartWhen> const when = ParseRestartWhen(texts.Now().restart);
        state.restartWhen = when.value.value_or(RestartWhen::Always);
        // Back to Always: nothing keeps the program closed any more.
        if (state.restartWhen == RestartWhen::Always &&
            (state.phase == ProgramPhase::Closed || state.phase == ProgramPhase::Lingering)) {
            MovePhase(state, ProgramPhase::Absent);
            state.lingeringProcessId = 0;
        }
        texts.Refuse(kRestartKey, &RestartRules::restart, when.problem);
        texts.Refuse(kCrashDialogKey, &RestartRules::crashDialog, ParseCrashDialog(texts.Now().crashDialog).problem);
    }
};

}  // namespace

Rule const& TheRestartWhenRule() {
    static RestartWhenRule const rule;
    return rule;
}

}  // namespace vigilon
