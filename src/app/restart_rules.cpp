#include "app/restart_rules.h"

#include <algorithm>
#include <cwchar>

#include "support/blanks.h"

namespace vigilon {
namespace {

bool AllDigits(std::wstring_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// The number of a short run of digits; -1 when it is not one.
int SmallNumber(std::wstring_view text, std::size_t maxDigits) {
    if (!AllDigits(text) || text.size() > maxDigits) return -1;
    int value = 0;
    for (wchar_t c : text) value = value * 10 + (c - L'0');
    return value;
}

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

}  // namespace vigilon
