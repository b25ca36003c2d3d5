#include "engine/rules/rule.h"

#include <array>

#include "engine/supervisor.h"

namespace vigilon {

Rule const& TheRestartWhenRule();
Rule const& TheDailyRule();
Rule const& TheMemoryRule();
Rule const& TheHangRule();

void RuleTexts::Refuse(wchar_t const* key, std::wstring RestartRules::*text, std::wstring const& problem) const {
    if (problem.empty() || !Changed(text)) return;
    journal_.Log(L"ignored", record_.name, key + (L"=" + record_.rules.*text) + L": not " + problem);
}

std::span<Rule const* const> ProgramRules() {
    // A daily restart comes before the memory limit, and both before the check that the window answers.
    static std::array<Rule const*, 4> const rules{&TheRestartWhenRule(), &TheDailyRule(), &TheMemoryRule(),
                                                  &TheHangRule()};
    return rules;
}

}  // namespace vigilon
