#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/restart_rules.h"

namespace vigilon {

// One range of a program's opening hours: the days it starts on and its times, in minutes after
// midnight. An end at or before the start runs into the next day (22:00-06:00): the range belongs
// to the day it starts.
struct HoursRange {
    std::uint8_t days = 0x7f;  // bit 0 Monday ... bit 6 Sunday
    int start = 0;             // 0 to 1439
    int end = 0;               // 1 to 1440; at or before `start`: the next day

    // Its length in minutes, 1 to 1440.
    int Length() const { return end > start ? end - start : end + 1440 - start; }
    bool operator==(HoursRange const&) const = default;
};

// Hours: one or more ranges separated by `;`, each `[days] hh:mm-hh:mm`. Days are Mon..Sun (case
// ignored, three letters), single or ranges (Mon-Fri, Sat-Mon goes round the week), several separated by
// commas (Mon,Wed,Fri-Sat); all days when left out. A time is h:mm or hh:mm from 0:00 to 23:59, and an
// end may be 24:00. A range may not start and end at the same time (00:00-24:00 is a whole day).
RuleValue<std::vector<HoursRange>> ParseOpeningHours(std::wstring_view text);

// IdleRestart: whole minutes from 1 to kMaxIdleMinutes.
inline constexpr int kMaxIdleMinutes = 1440;
RuleValue<int> ParseIdleRestart(std::wstring_view text);

// The short name of a day, 0 Monday ... 6 Sunday: "Mon".
std::wstring_view DayName(int day);

}  // namespace vigilon
