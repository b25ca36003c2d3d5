#include "app/restart_rules.h"

#include <algorithm>
#include <cwchar>

#include "app/escalate_rules.h"
#include "app/opening_hours.h"
#include "support/blanks.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

// One time hh:mm in minutes after midnight; -1 when it is not one.
int ParseTime(std::wstring_view text) {
    std::size_t const colon = text.find(L':');
    if (colon == std::wstring_view::npos) return -1;
    std::wstring_view const minutes = text.substr(colon + 1);
    int const h = SmallNumber(text.substr(0, colon), 2);
    int const m = minutes.size() == 2 ? SmallNumber(minutes, 2) : -1;
    if (h < 0 || h > 23 || m < 0 || m > 59) return -1;
    return h * 60 + m;
}

// One of `words`, its case ignored: its index, or -1.
template <std::size_t N>
int WordIndex(std::wstring_view text, std::wstring_view const (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (SameText(text, words[i])) return static_cast<int>(i);
    }
    return -1;
}

constexpr std::wstring_view kShowWords[] = {L"Hidden", L"Normal", L"Maximized", L"FullScreen"};
constexpr std::wstring_view kRestartWords[] = {L"Always", L"Failure"};
constexpr std::wstring_view kCheckActionWords[] = {L"Restart", L"Report"};
constexpr std::wstring_view kCaptionMatchWords[] = {L"Start", L"Contains", L"End", L"Exact"};

// A whole number of seconds from `low` to `high`; the problem names the range.
RuleValue<int> ParseSeconds(std::wstring_view text, int low, int high) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    int const seconds = SmallNumber(value, 6);
    if (seconds < low || seconds > high) {
        return {std::nullopt, L"a whole number of seconds from " + std::to_wstring(low) + L" to " + std::to_wstring(high)};
    }
    return {seconds, {}};
}

// host:port, the host not a drive letter; [v6 address]:port. Nothing when the text is not one.
std::optional<WaitTarget> ParseHostPort(std::wstring_view text) {
    if (text.find_first_of(L"\\/") != std::wstring_view::npos) return std::nullopt;
    std::size_t const colon = text.rfind(L':');
    if (colon == std::wstring_view::npos) return std::nullopt;
    std::wstring_view host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == L'[' && host.back() == L']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find(L':') != std::wstring_view::npos) {
        return std::nullopt;
    }
    int const port = SmallNumber(text.substr(colon + 1), 5);
    if (host.size() < 2 || port < 1 || port > 65535) return std::nullopt;
    return WaitTarget{{}, std::wstring(host), port};
}

// A full path: C:\... or \\server\....
bool FullPath(std::wstring_view text) {
    bool const drive = text.size() >= 3 && text[1] == L':' && (text[2] == L'\\' || text[2] == L'/');
    bool const share = text.size() >= 3 && text.substr(0, 2) == L"\\\\";
    return drive || share;
}

// A full path, or one that begins with a variable (%ProgramFiles%\...).
bool FullPathOrVariable(std::wstring_view text) { return FullPath(text) || (text.size() >= 2 && text.front() == L'%'); }

// The text after `prefix` when `text` begins with it, its case ignored.
std::optional<std::wstring_view> After(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size() || !SameText(text.substr(0, prefix.size()), prefix)) return std::nullopt;
    return TrimSpacesAndTabs(text.substr(prefix.size()));
}

// A number of seconds in its range; `fallback` when not set.
RuleValue<int> SecondsOr(std::wstring_view text, int low, int high, int fallback) {
    RuleValue<int> seconds = ParseSeconds(text, low, high);
    if (!seconds.value && seconds.problem.empty()) seconds.value = fallback;
    return seconds;
}

// The check of a key whose parser is `Parse`: the parser's reason.
template <auto Parse>
std::wstring ProblemOf(std::wstring_view text) { return Parse(text).problem; }

constexpr RuleKey kRuleKeys[] = {
    {kMaxMemoryKey, &RestartRules::maxMemoryMB, ProblemOf<ParseMemoryLimit>},
    {kRestartAtKey, &RestartRules::restartAt, ProblemOf<ParseRestartTimes>},
    {kCrashDialogKey, &RestartRules::crashDialog, ProblemOf<ParseCrashDialog>},
    {kShowKey, &RestartRules::show, ProblemOf<ParseShowAs>},
    {kMonitorKey, &RestartRules::monitor, ProblemOf<ParseMonitor>},
    {kOnTopKey, &RestartRules::onTop, ProblemOf<ParseOnTop>},
    {kStartDelayKey, &RestartRules::startDelay, ProblemOf<ParseStartDelay>},
    {kStartAfterKey, &RestartRules::startAfter, ProblemOf<ParseStartAfter>},
    {kWaitForKey, &RestartRules::waitFor, ProblemOf<ParseWaitFor>},
    {kWaitSecondsKey, &RestartRules::waitSeconds, ProblemOf<ParseWaitSeconds>},
    {kRestartKey, &RestartRules::restart, ProblemOf<ParseRestartWhen>},
    {kCheckKey, &RestartRules::check, ProblemOf<ParseHealthCheck>},
    {kCheckTextKey, &RestartRules::checkText, ProblemOf<ParseCheckText>},
    {kCheckAgeKey, &RestartRules::checkAge, ProblemOf<ParseCheckAge>},
    {kCheckSecondsKey, &RestartRules::checkSeconds, ProblemOf<ParseCheckSeconds>},
    {kCheckTimeoutKey, &RestartRules::checkTimeout, ProblemOf<ParseCheckTimeout>},
    {kCheckGraceKey, &RestartRules::checkGrace, ProblemOf<ParseCheckGrace>},
    {kCheckFailuresKey, &RestartRules::checkFailures, ProblemOf<ParseCheckFailures>},
    {kCheckActionKey, &RestartRules::checkAction, ProblemOf<ParseCheckAction>},
    {kWindowKey, &RestartRules::window, ProblemOf<ParseWindowless>},
    {kProcessKey, &RestartRules::process, ProblemOf<ParseProcess>},
    {kClassKey, &RestartRules::windowClass, ProblemOf<ParseWindowClass>},
    {kCaptionMatchKey, &RestartRules::captionMatch, ProblemOf<ParseCaptionMatch>},
    {kEscalateKey, &RestartRules::escalate, ProblemOf<ParseEscalate>},
    {kEscalateMinutesKey, &RestartRules::escalateMinutes, ProblemOf<ParseEscalateMinutes>},
    {kHoursKey, &RestartRules::hours, ProblemOf<ParseOpeningHours>},
    {kIdleRestartKey, &RestartRules::idleRestart, ProblemOf<ParseIdleRestart>},
};
// Every text of RestartRules is a key's: a field added without its row fails to build.
static_assert(sizeof(RestartRules) == std::size(kRuleKeys) * sizeof(std::wstring));

}  // namespace

RuleValue<int> ParseMemoryLimit(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    int const megabytes = SmallNumber(value, 7);
    if (megabytes < 1 || megabytes > kMaxMemoryLimitMB) {
        return {std::nullopt, L"a whole number of megabytes from 1 to " + std::to_wstring(kMaxMemoryLimitMB)};
    }
    return {megabytes, {}};
}

RuleValue<std::vector<int>> ParseRestartTimes(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty()) return {};
    std::vector<int> times;
    for (std::size_t start = 0;;) {
        std::size_t const comma = text.find(L',', start);
        int const time = ParseTime(TrimSpacesAndTabs(text.substr(start, comma == std::wstring_view::npos ? comma : comma - start)));
        if (time < 0) return {std::nullopt, L"times of day from 0:00 to 23:59, as hh:mm, separated by commas"};
        times.push_back(time);
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return {times, {}};
}

RuleValue<bool> ParseCrashDialog(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty() || value == L"1") return {};
    if (value == L"0") return {false, {}};
    return {std::nullopt, L"0 to start it without the crash dialog, or 1"};
}

std::wstring FormatRestartTimes(std::vector<int> const& minutes) {
    std::wstring text;
    for (int const time : minutes) {
        wchar_t part[8];
        std::swprintf(part, std::size(part), L"%02d:%02d", time / 60, time % 60);
        if (!text.empty()) text += L", ";
        text += part;
    }
    return text;
}

RuleValue<ShowAs> ParseShowAs(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    int const index = WordIndex(value, kShowWords);
    // The British spelling, as prose (ours too) writes it.
    if (index < 0 && SameText(value, L"Maximised")) return {ShowAs::Maximized, {}};
    if (index < 0) return {std::nullopt, L"Hidden, Normal, Maximized or FullScreen"};
    return {static_cast<ShowAs>(index), {}};
}

std::wstring_view ShowAsWord(ShowAs show) { return kShowWords[static_cast<std::size_t>(show)]; }

RuleValue<std::wstring> ParseMonitor(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    if (SameText(value, kPrimaryMonitor)) return {std::wstring(kPrimaryMonitor), {}};
    return {std::wstring(value), {}};
}

RuleValue<bool> ParseOnTop(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty() || value == L"0") return {};
    if (value == L"1") return {true, {}};
    return {std::nullopt, L"1 to keep it on top, or 0"};
}

RuleValue<int> ParseStartDelay(std::wstring_view text) { return ParseSeconds(text, 0, kMaxStartDelaySeconds); }

RuleValue<std::wstring> ParseStartAfter(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    return {std::wstring(value), {}};
}

RuleValue<WaitTarget> ParseWaitFor(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    if (std::optional<WaitTarget> connection = ParseHostPort(value)) return {*connection, {}};
    if (!FullPath(value)) return {std::nullopt, L"a full path (C:\\data, \\\\server\\share) or host:port"};
    return {WaitTarget{std::wstring(value), {}, 0}, {}};
}

RuleValue<int> ParseWaitSeconds(std::wstring_view text) { return SecondsOr(text, 1, kMaxWaitSeconds, kDefaultWaitSeconds); }

RuleValue<RestartWhen> ParseRestartWhen(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    int const index = WordIndex(value, kRestartWords);
    if (index < 0) return {std::nullopt, L"Always or Failure"};
    return {static_cast<RestartWhen>(index), {}};
}

std::wstring_view RestartWhenWord(RestartWhen when) { return kRestartWords[static_cast<std::size_t>(when)]; }

RuleValue<HealthCheck> ParseHealthCheck(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    std::wstring const forms = L"http://..., https://..., tcp:host:port, file:<full path>, window:<caption text> or run:<full path of a command>";
    if (After(value, L"http://") || After(value, L"https://")) {
        std::size_t const host = value.find(L"//") + 2;
        if (value.size() == host || value[host] == L'/') return {std::nullopt, forms};
        return {HealthCheck{CheckKind::Http, std::wstring(value), 0}, {}};
    }
    if (auto const rest = After(value, L"tcp:")) {
        std::optional<WaitTarget> const server = ParseHostPort(*rest);
        if (!server) return {std::nullopt, forms};
        return {HealthCheck{CheckKind::Tcp, server->host, server->port}, {}};
    }
    if (auto const rest = After(value, L"file:")) {
        if (!FullPathOrVariable(*rest)) return {std::nullopt, forms};
        return {HealthCheck{CheckKind::File, std::wstring(*rest), 0}, {}};
    }
    if (auto const rest = After(value, L"window:")) {
        if (rest->empty()) return {std::nullopt, forms};
        return {HealthCheck{CheckKind::Window, std::wstring(*rest), 0}, {}};
    }
    if (auto const rest = After(value, L"run:")) {
        std::wstring_view const command = !rest->empty() && rest->front() == L'"' ? rest->substr(1) : *rest;
        if (!FullPathOrVariable(command)) return {std::nullopt, forms};
        return {HealthCheck{CheckKind::Run, std::wstring(*rest), 0}, {}};
    }
    return {std::nullopt, forms};
}

RuleValue<std::wstring> ParseCheckText(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    return {std::wstring(value), {}};
}

RuleValue<int> ParseCheckAge(std::wstring_view text) { return ParseSeconds(text, 1, kMaxCheckAgeSeconds); }
RuleValue<int> ParseCheckSeconds(std::wstring_view text) { return SecondsOr(text, 5, 3600, kDefaultCheckSeconds); }
RuleValue<int> ParseCheckTimeout(std::wstring_view text) { return SecondsOr(text, 1, 120, kDefaultCheckTimeout); }
RuleValue<int> ParseCheckGrace(std::wstring_view text) { return SecondsOr(text, 0, 3600, kDefaultCheckGrace); }

RuleValue<int> ParseCheckFailures(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {kDefaultCheckFailures, {}};
    int const count = SmallNumber(value, 3);
    if (count < 1 || count > 100) return {std::nullopt, L"a whole number of failures from 1 to 100"};
    return {count, {}};
}

RuleValue<CheckAction> ParseCheckAction(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {CheckAction::Restart, {}};
    int const index = WordIndex(value, kCheckActionWords);
    if (index < 0) return {std::nullopt, L"Restart or Report"};
    return {static_cast<CheckAction>(index), {}};
}

RuleValue<bool> ParseWindowless(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    if (!SameText(value, kNoWindow)) return {std::nullopt, L"None, for a program that shows no window"};
    return {true, {}};
}

bool Windowless(RestartRules const& rules) { return !rules.window.empty() && ParseWindowless(rules.window).value.has_value(); }
RuleValue<std::wstring> ParseProcess(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    bool const bareName = value.find_first_of(L"\\/:") == std::wstring_view::npos;
    if (!bareName && !FullPath(value)) {
        return {std::nullopt, L"a full path (C:\\Tools\\app.exe) or a file name alone (app.exe)"};
    }
    return {std::wstring(value), {}};
}

RuleValue<std::wstring> ParseWindowClass(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    return {std::wstring(value), {}};
}

RuleValue<CaptionMatch> ParseCaptionMatch(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {CaptionMatch::Start, {}};
    int const index = WordIndex(value, kCaptionMatchWords);
    if (index < 0) return {std::nullopt, L"Start, Contains, End or Exact"};
    return {static_cast<CaptionMatch>(index), {}};
}

std::wstring_view CaptionMatchWord(CaptionMatch match) { return kCaptionMatchWords[static_cast<std::size_t>(match)]; }

std::wstring WindowlessExeProblem(std::wstring_view exe) {
    std::wstring_view const path = TrimSpacesAndTabs(exe);
    bool const drive = path.size() > 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
                       ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    bool const share = path.size() > 2 && path.starts_with(L"\\\\");
    bool const exeFile = path.size() > 4 && SameText(path.substr(path.size() - 4), L".exe");
    if ((drive || share) && exeFile) return {};
    return L"EXE must be the full path of an .exe (C:\\Agent\\agent.exe): a program without a window is found by "
           L"its process's file, which a bare name, a relative path, a script or a shortcut never names";
}

std::span<RuleKey const> RuleKeys() { return kRuleKeys; }

}  // namespace vigilon
