#include "engine/rules/escalate_rule.h"

#include <utility>

namespace vigilon {
namespace {

class Escalate final : public Rule {
public:
    void Read(RuleTexts const& texts, ProgramState& state) const override {
        RuleValue<std::vector<EscalateStep>> steps = ParseEscalate(texts.Now().escalate);
        RuleValue<int> const minutes = ParseEscalateMinutes(texts.Now().escalateMinutes);
        // A ladder changed while its count runs keeps the count: the new steps apply from the next trouble.
        state.escalation.Change(std::move(steps.value).value_or(std::vector<EscalateStep>{}),
                                minutes.value.value_or(kDefaultEscalateMinutes));
        texts.Refuse(kEscalateKey, &RestartRules::escalate, steps.problem);
        texts.Refuse(kEscalateMinutesKey, &RestartRules::escalateMinutes, minutes.problem);
    }
};

}  // namespace

Rule const& EscalateRule() {
    static Escalate const rule;
    return rule;
}

void DescribeEscalation(ProgramStatus& row, EscalationLadder const& ladder, std::int64_t now) {
    if (!ladder.On()) return;
    row.escalationCount = ladder.CountAt(now);
    row.escalationMinutes = ladder.minutes;
    std::optional<EscalateStep> const next = ladder.Next(now);
    if (next) row.escalationNext = FormatEscalate({*next});
}

}  // namespace vigilon
