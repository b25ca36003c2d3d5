#include "app/restart_rules.h"

#include <algorithm>
#include <cwchar>

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
    bool const drive = value.size() >= 3 && value[1] == L':' && (value[2] == L'\\' || value[2] == L'/');
    bool const share = value.size() >= 3 && value.substr(0, 2) == L"\\\\";
    if (!drive && !share) return {std::nullopt, L"a full path (C:\\data, \\\\server\\share) or host:port"};
    return {WaitTarget{std::wstring(value), {}, 0}, {}};
}

RuleValue<int> ParseWaitSeconds(std::wstring_view text) {
    RuleValue<int> seconds = ParseSeconds(text, 1, kMaxWaitSeconds);
    if (!seconds.value && seconds.problem.empty()) seconds.value = kDefaultWaitSeconds;
    return seconds;
}

RuleValue<RestartWhen> ParseRestartWhen(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    int const index = WordIndex(value, kRestartWords);
    if (index < 0) return {std::nullopt, L"Always or Failure"};
    return {static_cast<RestartWhen>(index), {}};
}

std::wstring_view RestartWhenWord(RestartWhen when) { return kRestartWords[static_cast<std::size_t>(when)]; }

std::span<RuleKey const> RuleKeys() { return kRuleKeys; }

}  // namespace vigilon
