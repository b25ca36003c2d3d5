#include "app/escalate_rules.h"

#include <algorithm>
#include <iterator>

#include "support/blanks.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::wstring_view kActionWords[] = {L"command", L"logoff", L"reboot", L"shutdown"};

// One step "count:action"; nothing when the text is not one.
std::optional<EscalateStep> ParseStep(std::wstring_view text) {
    std::size_t const colon = text.find(L':');
    if (colon == std::wstring_view::npos) return std::nullopt;
    int const count = SmallNumber(TrimSpacesAndTabs(text.substr(0, colon)), 4);
    if (count < 1 || count > kMaxEscalateCount) return std::nullopt;
    std::wstring_view const word = TrimSpacesAndTabs(text.substr(colon + 1));
    for (std::size_t i = 0; i < std::size(kActionWords); ++i) {
        if (SameText(word, kActionWords[i])) return EscalateStep{count, static_cast<EscalateAction>(i)};
    }
    return std::nullopt;
}

}  // namespace

std::wstring_view EscalateActionWord(EscalateAction action) { return kActionWords[static_cast<std::size_t>(action)]; }

RuleValue<std::vector<EscalateStep>> ParseEscalate(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty()) return {};
    std::wstring const problem = L"steps count:action (command, logoff, reboot or shutdown), each count from 1 to " +
                                 std::to_wstring(kMaxEscalateCount) + L" and given once, separated by commas";
    std::vector<EscalateStep> steps;
    for (std::size_t start = 0;;) {
        std::size_t const comma = text.find(L',', start);
        std::size_t const length = comma == std::wstring_view::npos ? comma : comma - start;
        std::optional<EscalateStep> const step = ParseStep(text.substr(start, length));
        if (!step) return {std::nullopt, problem};
        steps.push_back(*step);
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
    }
    std::sort(steps.begin(), steps.end(), [](EscalateStep a, EscalateStep b) { return a.count < b.count; });
    auto const sameCount = [](EscalateStep a, EscalateStep b) { return a.count == b.count; };
    if (std::adjacent_find(steps.begin(), steps.end(), sameCount) != steps.end()) return {std::nullopt, problem};
    return {steps, {}};
}

std::wstring FormatEscalate(std::vector<EscalateStep> const& steps) {
    std::wstring text;
    for (EscalateStep const& step : steps) {
        if (!text.empty()) text += L", ";
        text += std::to_wstring(step.count) + L":" + std::wstring(EscalateActionWord(step.action));
    }
    return text;
}

RuleValue<int> ParseEscalateMinutes(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {kDefaultEscalateMinutes, {}};
    int const minutes = SmallNumber(value, 4);
    if (minutes < 1 || minutes > kMaxEscalateMinutes) {
        return {std::nullopt, L"a whole number of minutes from 1 to " + std::to_wstring(kMaxEscalateMinutes)};
    }
    return {minutes, {}};
}

}  // namespace vigilon
