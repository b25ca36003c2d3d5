#include "ui/program_settings_logic.h"

#include <utility>

#include "app/escalate_rules.h"
#include "app/opening_hours.h"
#include "support/blanks.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

// Offers `current` as written when no entry stands for it.
std::vector<SettingsChoice> WithCurrent(std::vector<SettingsChoice> choices, std::wstring const& current,
                                        wchar_t const* why) {
    for (SettingsChoice const& choice : choices) {
        if (SameText(choice.value, current)) return choices;
    }
    choices.push_back({current + L" (" + why + L")", current});
    return choices;
}

std::wstring Trimmed(std::wstring const& text) { return std::wstring(TrimSpacesAndTabs(text)); }

}  // namespace

std::vector<SettingsChoice> ShowChoices(std::wstring const& current) {
    std::vector<SettingsChoice> choices{{L"Hidden (started minimised, hidden when minimised)", L""}};
    for (ShowAs const show : {ShowAs::Normal, ShowAs::Maximized, ShowAs::FullScreen}) {
        std::wstring const word(ShowAsWord(show));
        choices.push_back({show == ShowAs::FullScreen ? L"Full screen" : word, word});
    }
    // Hidden written out is the default, which the first entry stands for.
    if (ParseShowAs(current).value == ShowAs::Hidden) return choices;
    return WithCurrent(std::move(choices), current, L"cannot be used");
}

std::vector<SettingsChoice> MonitorChoices(std::vector<DisplayInfo> const& displays, std::wstring const& current) {
    std::vector<SettingsChoice> choices{{L"Where it opens", L""}, {L"Primary", kPrimaryMonitor}};
    for (DisplayInfo const& display : displays) {
        choices.push_back({display.name + L": " + std::to_wstring(display.width) + L" x " +
                               std::to_wstring(display.height) + L" at " + std::to_wstring(display.left) + L", " +
                               std::to_wstring(display.top) + (display.primary ? L" (primary)" : L""),
                           display.id});
    }
    return WithCurrent(std::move(choices), current, L"not attached now");
}

std::vector<SettingsChoice> StartAfterChoices(WatchedPrograms const& programs, int number, std::wstring const& current) {
    std::vector<SettingsChoice> choices{{L"(none)", L""}};
    for (int i = 1; i <= programs.Count(); ++i) {
        if (i != number) choices.push_back({programs[i].name, programs[i].name});
    }
    return WithCurrent(std::move(choices), current, L"not in the list");
}

std::vector<SettingsChoice> RestartWhenChoices(std::wstring const& current) {
    std::vector<SettingsChoice> choices{{L"Always", L""}, {L"Only when it fails", std::wstring(RestartWhenWord(RestartWhen::Failure))}};
    if (ParseRestartWhen(current).value == RestartWhen::Always) return choices;
    return WithCurrent(std::move(choices), current, L"cannot be used");
}

std::vector<SettingsChoice> CheckActionChoices(std::wstring const& current) {
    std::vector<SettingsChoice> choices{{L"Restart it", L""}, {L"Only report it", L"Report"}};
    if (ParseCheckAction(current).value == CheckAction::Restart) return choices;
    return WithCurrent(std::move(choices), current, L"cannot be used");
}

std::vector<SettingsChoice> CaptionMatchChoices(std::wstring const& current) {
    std::vector<SettingsChoice> choices{{L"Starts with the text", L""}};
    for (auto const& [match, label] : {std::pair{CaptionMatch::Contains, L"Contains the text"},
                                      std::pair{CaptionMatch::End, L"Ends with the text"},
                                      std::pair{CaptionMatch::Exact, L"Is exactly the text"}}) {
        choices.push_back({label, std::wstring(CaptionMatchWord(match))});
    }
    if (ParseCaptionMatch(current).value == CaptionMatch::Start) return choices;
    return WithCurrent(std::move(choices), current, L"cannot be used");
}

int ChoiceIndex(std::vector<SettingsChoice> const& choices, std::wstring const& value) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (SameText(choices[i].value, value)) return static_cast<int>(i);
    }
    return 0;
}

ProgramSettingsForm SettingsFormFromRules(RestartRules const& rules) {
    ProgramSettingsForm form;
    // A word it takes (any case, Maximised) shows as the dialog's own; one it cannot use, as written.
    RuleValue<ShowAs> const show = ParseShowAs(rules.show);
    form.show = !show.value ? Trimmed(rules.show) : *show.value == ShowAs::Hidden ? L"" : std::wstring(ShowAsWord(*show.value));
    form.monitor = Trimmed(rules.monitor);
    form.onTop = ParseOnTop(rules.onTop).value == true;
    form.noWindow = Windowless(rules);
    RuleValue<CaptionMatch> const captionMatch = ParseCaptionMatch(rules.captionMatch);
    form.captionMatch = !captionMatch.value                        ? Trimmed(rules.captionMatch)
                        : *captionMatch.value == CaptionMatch::Start ? L""
                                                                   : std::wstring(CaptionMatchWord(*captionMatch.value));
    form.windowClass = Trimmed(rules.windowClass);
    form.process = Trimmed(rules.process);
    form.startDelay = Trimmed(rules.startDelay);
    form.startAfter = Trimmed(rules.startAfter);
    form.waitFor = Trimmed(rules.waitFor);
    form.waitSeconds = Trimmed(rules.waitSeconds);
    form.restart = FormFromRules(rules);
    form.restartWhen = ParseRestartWhen(rules.restart).value == RestartWhen::Always ? L"" : Trimmed(rules.restart);
    form.health = HealthFormFromRules(rules);
    form.escalate = Trimmed(rules.escalate);
    form.escalateMinutes = Trimmed(rules.escalateMinutes);
    form.hours = Trimmed(rules.hours);
    form.idleRestart = Trimmed(rules.idleRestart);
    return form;
}

ProgramSettingsChoice RulesFromSettingsForm(ProgramSettingsForm const& form, RestartRules const& original) {
    auto refuse = [](SettingsRow row, std::wstring text) { return ProgramSettingsChoice{{}, std::move(text), row}; };
    RestartRulesChoice const restart = RulesFromForm(form.restart, original);
    if (!restart.refusal.empty()) {
        bool const memory = form.restart.memoryOn && !ParseMemoryLimit(form.restart.megabytes).value;
        return refuse(memory ? SettingsRow::MemoryLimit : SettingsRow::RestartTimes, restart.refusal);
    }
    ProgramSettingsChoice choice{restart.rules, {}};
    // A seconds box refused says what it takes as its parser says it ("a whole number of seconds from 0 to 3600").
    RuleValue<int> const delay = ParseStartDelay(form.startDelay);
    if (!delay.problem.empty()) {
        return refuse(SettingsRow::StartDelay, L"Delay the first start by: type " + delay.problem + L".");
    }
    if (delay.value.value_or(0) > 0) choice.rules.startDelay = std::to_wstring(*delay.value);
    std::wstring const waitFor = Trimmed(form.waitFor);
    if (!waitFor.empty()) {
        if (!ParseWaitFor(waitFor).value) {
            return refuse(SettingsRow::WaitFor, L"Wait for: type a path that must exist (C:\\data, "
                                                L"\\\\server\\share\\file) or host:port (server:1433).");
        }
        choice.rules.waitFor = waitFor;
    }
    // An empty box is the default, which writes no key.
    if (!Trimmed(form.waitSeconds).empty()) {
        RuleValue<int> const seconds = ParseWaitSeconds(form.waitSeconds);
        if (!seconds.value) return refuse(SettingsRow::WaitSeconds, L"Wait at most: type " + seconds.problem + L".");
        choice.rules.waitSeconds = std::to_wstring(*seconds.value);
    }
    std::wstring const hours = Trimmed(form.hours);
    if (RuleValue<std::vector<HoursRange>> const read = ParseOpeningHours(hours); !read.problem.empty()) {
        return refuse(SettingsRow::Hours, L"Run it only during these hours: type " + read.problem + L".");
    }
    choice.rules.hours = hours;
    std::wstring const idle = Trimmed(form.idleRestart);
    if (RuleValue<int> const minutes = ParseIdleRestart(idle); !minutes.problem.empty()) {
        return refuse(SettingsRow::IdleRestart, L"Restart it after: type " + minutes.problem + L".");
    }
    // A program without a window has nothing on screen for the next person to find fresh.
    if (form.noWindow && !idle.empty()) {
        return refuse(SettingsRow::IdleRestart, L"Restart it after: a program that shows no window is never restarted for an "
                                                L"idle PC; untick \"It shows no window\" or empty the box.");
    }
    choice.rules.idleRestart = idle;
    // The drop-downs offer only values that can be used, and what the file held as written.
    choice.rules.show = form.show;
    choice.rules.monitor = form.monitor;
    if (form.onTop) {
        choice.rules.onTop = L"1";
    } else if (!ParseOnTop(original.onTop).problem.empty()) {
        choice.rules.onTop = original.onTop;  // the user's text, which the box cannot show
    }
    // Kept as they are when it shows no window, for the day it shows one again.
    if (form.noWindow) {
        std::wstring const problem = WindowlessExeProblem(form.exe);
        if (!problem.empty()) return refuse(SettingsRow::NoWindow, L"It shows no window: " + problem + L".");
        choice.rules.window = kNoWindow;
    } else if (!ParseWindowless(original.window).problem.empty()) {
        choice.rules.window = original.window;  // the user's text, which the box cannot show
    }
    choice.rules.startAfter = form.startAfter;
    if (form.noWindow) {
        // Greyed with the rest of the window's rows: kept as the file has them.
        choice.rules.captionMatch = original.captionMatch;
        choice.rules.windowClass = original.windowClass;
        choice.rules.process = original.process;
    } else {
        choice.rules.captionMatch = form.captionMatch;
        choice.rules.windowClass = Trimmed(form.windowClass);
        RuleValue<std::wstring> const process = ParseProcess(form.process);
        if (!process.problem.empty()) return refuse(SettingsRow::Process, L"Program file: type " + process.problem + L".");
        choice.rules.process = process.value.value_or(L"");
    }
    choice.rules.restart = form.restartWhen;
    // The ladder as the parser writes it; its minutes only beside a ladder's, an empty box the default.
    RuleValue<std::vector<EscalateStep>> const ladder = ParseEscalate(form.escalate);
    if (!ladder.problem.empty()) return refuse(SettingsRow::Escalate, L"Escalate: type " + ladder.problem + L".");
    choice.rules.escalate = ladder.value ? FormatEscalate(*ladder.value) : L"";
    if (!Trimmed(form.escalateMinutes).empty()) {
        RuleValue<int> const minutes = ParseEscalateMinutes(form.escalateMinutes);
        if (!minutes.value) return refuse(SettingsRow::EscalateMinutes, L"Count its troubles over: type " + minutes.problem + L".");
        choice.rules.escalateMinutes = std::to_wstring(*minutes.value);
    }
    HealthCheckChoice const health = HealthRulesFromForm(form.health, original, choice.rules);
    if (!health.refusal.empty()) return {{}, health.refusal, SettingsRow::Health, health.row};
    // A window: check looks for a window the program does not show: it would always fail.
    RuleValue<HealthCheck> const check = ParseHealthCheck(form.health.check);
    if (form.noWindow && check.value && check.value->kind == CheckKind::Window) {
        return {{}, L"Check: a program that shows no window cannot be checked by a window; untick \"It shows no window\" "
                    L"or check it another way.",
                SettingsRow::Health, HealthRow::Check};
    }
    return choice;
}

}  // namespace vigilon
