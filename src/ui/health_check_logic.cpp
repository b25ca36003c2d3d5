#include "ui/health_check_logic.h"

#include "support/blanks.h"

namespace vigilon {
namespace {

std::wstring Trimmed(std::wstring const& text) { return std::wstring(TrimSpacesAndTabs(text)); }

// A box left as the file had it: its text is kept as written, even one that cannot be used, which
// the check of the settings file tells of already.
bool Untouched(std::wstring const& typed, std::wstring const& written) { return typed == Trimmed(written); }

// One seconds or count box: its key's field, its row, its label as the refusal names it, and its parser.
struct NumberRow {
    std::wstring HealthCheckForm::*box;
    std::wstring RestartRules::*field;
    HealthRow row;
    wchar_t const* label;
    RuleValue<int> (*parse)(std::wstring_view);
};
constexpr NumberRow kNumberRows[] = {
    {&HealthCheckForm::seconds, &RestartRules::checkSeconds, HealthRow::Seconds, L"Check every", ParseCheckSeconds},
    {&HealthCheckForm::timeout, &RestartRules::checkTimeout, HealthRow::Timeout, L"Give a check up after",
     ParseCheckTimeout},
    {&HealthCheckForm::grace, &RestartRules::checkGrace, HealthRow::Grace, L"After a start, wait", ParseCheckGrace},
    {&HealthCheckForm::failures, &RestartRules::checkFailures, HealthRow::Failures, L"Act after",
     ParseCheckFailures},
};

}  // namespace

HealthRowsEnabled HealthRowsFor(std::wstring const& check) {
    RuleValue<HealthCheck> const parsed = ParseHealthCheck(check);
    if (!parsed.value) return {};
    CheckKind const kind = parsed.value->kind;
    return {kind == CheckKind::Http, kind == CheckKind::File, kind != CheckKind::Window};
}

HealthCheckForm HealthFormFromRules(RestartRules const& rules) {
    HealthCheckForm form{Trimmed(rules.check),        Trimmed(rules.checkText),     Trimmed(rules.checkAge),
                         Trimmed(rules.checkSeconds), Trimmed(rules.checkTimeout),  Trimmed(rules.checkGrace),
                         Trimmed(rules.checkFailures), {}};
    // Restart written out is the default, which the first entry stands for; Report in any case is Report.
    RuleValue<CheckAction> const action = ParseCheckAction(rules.checkAction);
    if (!action.value) {
        form.action = Trimmed(rules.checkAction);
    } else if (*action.value == CheckAction::Report) {
        form.action = L"Report";
    }
    return form;
}

HealthCheckChoice HealthRulesFromForm(HealthCheckForm const& form, RestartRules const& original, RestartRules& rules) {
    std::wstring const check = Trimmed(form.check);
    if (!check.empty() && !Untouched(check, original.check)) {
        RuleValue<HealthCheck> const parsed = ParseHealthCheck(check);
        if (!parsed.value) return {L"Check that it works: type " + parsed.problem + L".", HealthRow::Check};
    }
    rules.check = check;
    HealthRowsEnabled const enabled = HealthRowsFor(check);
    // A row the check typed does not use takes no input: it keeps the file's text for when it is used again.
    rules.checkText = enabled.text ? Trimmed(form.text) : original.checkText;
    if (!enabled.age || Untouched(Trimmed(form.age), original.checkAge)) {
        rules.checkAge = original.checkAge;
    } else if (!Trimmed(form.age).empty()) {
        RuleValue<int> const age = ParseCheckAge(form.age);
        if (!age.value) return {L"The file must be written within: type " + age.problem + L".", HealthRow::Age};
        rules.checkAge = std::to_wstring(*age.value);
    }
    for (NumberRow const& number : kNumberRows) {
        std::wstring const typed = Trimmed(form.*number.box);
        bool const used = number.row != HealthRow::Timeout || enabled.timeout;
        if (typed.empty() && used) continue;  // the default, which writes no key
        if (!used || Untouched(typed, original.*number.field)) {
            rules.*number.field = original.*number.field;
            continue;
        }
        RuleValue<int> const value = number.parse(typed);
        if (!value.value) return {std::wstring(number.label) + L": type " + value.problem + L".", number.row};
        rules.*number.field = std::to_wstring(*value.value);
    }
    // The drop-down offers only what can be used, and what the file held as written.
    rules.checkAction = form.action;
    return {};
}

}  // namespace vigilon
