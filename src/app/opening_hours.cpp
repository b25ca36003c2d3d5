#include "app/opening_hours.h"

#include "support/blanks.h"
#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::wstring_view kDayNames[] = {L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat", L"Sun"};

// A day's name, case ignored: 0 Monday ... 6 Sunday; -1 when it is not one.
int DayIndex(std::wstring_view text) {
    for (int i = 0; i < 7; ++i) {
        if (SameText(text, kDayNames[i])) return i;
    }
    return -1;
}

// A time h:mm or hh:mm in minutes after midnight, up to `most`; -1 when it is not one.
int ClockMinutes(std::wstring_view text, int most) {
    std::size_t const colon = text.find(L':');
    if (colon == std::wstring_view::npos || text.size() - colon != 3) return -1;
    int const h = SmallNumber(text.substr(0, colon), 2);
    int const m = SmallNumber(text.substr(colon + 1), 2);
    if (h < 0 || m < 0 || m > 59 || h * 60 + m > most) return -1;
    return h * 60 + m;
}

// Days as `Mon-Fri,Sun`: their bits; the reason when the text is not that.
std::uint8_t ReadDays(std::wstring_view text, std::wstring& problem) {
    std::uint8_t days = 0;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t const comma = std::min(text.find(L',', from), text.size());
        std::wstring_view const part = TrimSpacesAndTabs(text.substr(from, comma - from));
        std::size_t const dash = part.find(L'-');
        int const first = DayIndex(TrimSpacesAndTabs(part.substr(0, dash)));
        int const last = dash == std::wstring_view::npos ? first : DayIndex(TrimSpacesAndTabs(part.substr(dash + 1)));
        if (first < 0 || last < 0) {
            problem = L"days Mon to Sun, as Mon-Fri or Sat,Sun: \"" + std::wstring(part) + L"\" is not one";
            return 0;
        }
        for (int day = first;; day = (day + 1) % 7) {
            days = static_cast<std::uint8_t>(days | (1u << day));
            if (day == last) break;
        }
        from = comma + 1;
    }
    return days;
}

// `text` without the blanks around its dashes: `08:00 - 18:00` is `08:00-18:00`.
std::wstring CloseDashes(std::wstring_view text) {
    std::wstring closed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool const blank = text[i] == L' ' || text[i] == L'\t';
        std::size_t const next = text.find_first_not_of(L" \t", i);
        if (blank && ((!closed.empty() && closed.back() == L'-') || (next != std::wstring_view::npos && text[next] == L'-'))) {
            continue;
        }
        closed += text[i];
    }
    return closed;
}

// One range `[days] hh:mm-hh:mm`; the reason when the text is not one.
std::optional<HoursRange> ReadRange(std::wstring_view written, std::wstring& problem) {
    std::wstring const closed = CloseDashes(written);
    std::wstring_view const text = closed;
    HoursRange range;
    std::size_t const blank = text.find_last_of(L" \t");
    std::wstring_view const times = blank == std::wstring_view::npos ? text : text.substr(blank + 1);
    if (blank != std::wstring_view::npos) {
        range.days = ReadDays(TrimSpacesAndTabs(text.substr(0, blank)), problem);
        if (range.days == 0) return std::nullopt;
    }
    std::size_t const dash = times.find(L'-');
    range.start = dash == std::wstring_view::npos ? -1 : ClockMinutes(times.substr(0, dash), 1439);
    range.end = dash == std::wstring_view::npos ? -1 : ClockMinutes(times.substr(dash + 1), 1440);
    if (range.start < 0 || range.end < 0) {
        problem = L"times as hh:mm-hh:mm from 00:00 to 24:00: \"" + std::wstring(times) + L"\" is not one";
        return std::nullopt;
    }
    if (range.start == range.end) {
        problem = L"a range of some length: \"" + std::wstring(times) + L"\" starts and ends at once (00:00-24:00 is a whole day)";
        return std::nullopt;
    }
    return range;
}

}  // namespace

RuleValue<std::vector<HoursRange>> ParseOpeningHours(std::wstring_view text) {
    if (TrimSpacesAndTabs(text).empty()) return {};
    std::vector<HoursRange> ranges;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t const semicolon = std::min(text.find(L';', from), text.size());
        std::wstring_view const part = TrimSpacesAndTabs(text.substr(from, semicolon - from));
        std::wstring problem = L"ranges as Mon-Fri 08:00-18:00, separated by ;: one is empty";
        std::optional<HoursRange> const range = part.empty() ? std::nullopt : ReadRange(part, problem);
        if (!range) return {std::nullopt, problem};
        ranges.push_back(*range);
        from = semicolon + 1;
    }
    return {ranges, {}};
}

RuleValue<int> ParseIdleRestart(std::wstring_view text) {
    std::wstring_view const value = TrimSpacesAndTabs(text);
    if (value.empty()) return {};
    int const minutes = SmallNumber(value, 4);
    if (minutes < 1 || minutes > kMaxIdleMinutes) {
        return {std::nullopt, L"a whole number of minutes from 1 to " + std::to_wstring(kMaxIdleMinutes)};
    }
    return {minutes, {}};
}

std::wstring_view DayName(int day) { return kDayNames[static_cast<std::size_t>(day % 7)]; }

}  // namespace vigilon
