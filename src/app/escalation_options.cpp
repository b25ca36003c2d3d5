#include "app/escalation_options.h"

#include <algorithm>
#include <iterator>

#include "support/blanks.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::wstring_view kDayWords[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
constexpr std::wstring_view kDayNames[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};

// A number held to low..high; `fallback` when the text has none.
int HeldTo(std::wstring_view text, int low, int high, int fallback) {
    int const value = LeadingNumber(text, high);
    return value < 0 ? fallback : std::max(value, low);
}

// A whole number from low to high and nothing else: the problem names the range and its unit.
std::wstring RangeCheck(std::wstring_view text, int low, int high, std::wstring_view unit) {
    int const value = SmallNumber(TrimSpacesAndTabs(text), 4);
    if (value >= low && value <= high) return {};
    return L"not a whole number of " + std::wstring(unit) + L" from " + std::to_wstring(low) + L" to " + std::to_wstring(high);
}

// The days of a list, one bit each; nothing when a part is not a day's name.
std::optional<unsigned> ParseDays(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty()) return std::nullopt;
    unsigned days = 0;
    for (std::size_t start = 0;;) {
        std::size_t const comma = text.find(L',', start);
        std::wstring_view const part = TrimSpacesAndTabs(text.substr(start, comma == std::wstring_view::npos ? comma : comma - start));
        std::size_t day = 0;
        while (day < std::size(kDayWords) && !SameText(part, kDayWords[day]) && !SameText(part, kDayNames[day])) ++day;
        if (day == std::size(kDayWords)) return std::nullopt;
        days |= 1u << day;
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
    }
    return days;
}

}  // namespace

int MinUptimeFrom(std::wstring_view text) { return HeldTo(text, kLeastMinUptime, kMostMinUptime, kDefaultMinUptime); }
int MaxRebootsFrom(std::wstring_view text) { return HeldTo(text, 1, kMostMaxReboots, kDefaultMaxReboots); }
int EscalateNoticeFrom(std::wstring_view text) { return HeldTo(text, 0, kMostEscalateNotice, kDefaultEscalateNotice); }

std::optional<int> RebootAtFrom(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    std::size_t const colon = value.find(L':');
    if (colon == std::wstring_view::npos) return std::nullopt;
    int const h = SmallNumber(value.substr(0, colon), 2);
    std::wstring_view const minutes = value.substr(colon + 1);
    int const m = minutes.size() == 2 ? SmallNumber(minutes, 2) : -1;
    if (h < 0 || h > 23 || m < 0 || m > 59) return std::nullopt;
    return h * 60 + m;
}

unsigned RebootDaysFrom(std::wstring_view text) { return ParseDays(text).value_or(kEveryDay); }

std::wstring MinUptimeCheck(std::wstring_view text) { return RangeCheck(text, kLeastMinUptime, kMostMinUptime, L"minutes"); }
std::wstring MaxRebootsCheck(std::wstring_view text) { return RangeCheck(text, 1, kMostMaxReboots, L"restarts"); }
std::wstring EscalateNoticeCheck(std::wstring_view text) { return RangeCheck(text, 0, kMostEscalateNotice, L"seconds"); }

std::wstring RebootAtCheck(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty() || RebootAtFrom(text)) return {};
    return L"not a time of day from 0:00 to 23:59, as hh:mm";
}

std::wstring RebootDaysCheck(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty() || ParseDays(text)) return {};
    return L"not days of the week (Mon, Tue, Wed, Thu, Fri, Sat, Sun) separated by commas";
}

std::wstring RebootDaysText(unsigned days) {
    if ((days & kEveryDay) == kEveryDay) return {};
    std::wstring text;
    // Monday first, as a week is read.
    for (unsigned i = 1; i <= 7; ++i) {
        if ((days & (1u << (i % 7))) == 0) continue;
        if (!text.empty()) text += L", ";
        text += kDayWords[i % 7];
    }
    return text;
}

}  // namespace vigilon
