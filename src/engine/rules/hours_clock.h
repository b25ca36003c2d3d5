#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/opening_hours.h"
#include "platform/event_loop.h"

namespace vigilon {

// A moment as the local clock says it: minutes since 1970-01-01 00:00 on the wall clock. Opening
// hours are reckoned in these, so a range that a change of daylight saving time cuts short or
// lengthens runs as the clock says (22:00-06:00 lasts 7 or 9 hours that night).
std::int64_t WallMinute(LocalTime const& time);

// The day of the week of a wall minute, 0 Monday ... 6 Sunday.
int WeekdayOf(std::int64_t wallMinute);

// "Mon 08:00": a wall minute as the Status window and /status say the next start.
std::wstring WallMinuteText(std::int64_t wallMinute);

// The local time of a wall minute, read with the offset from UTC `now` has (the JSON's nextStart).
LocalTime WallMinuteTime(std::int64_t wallMinute, LocalTime const& now);

// One range on the calendar: from its start, until (not including) its end, in wall minutes.
struct HoursSpan {
    std::int64_t start = 0;
    std::int64_t end = 0;
    bool operator==(HoursSpan const&) const = default;
};

// The span of `ranges` that holds `at`; of several, the one that ends last.
std::optional<HoursSpan> SpanAt(std::vector<HoursRange> const& ranges, std::int64_t at);

// The first span of `ranges` that starts after `at`, within a week and a day; then, when spans
// overlap or touch it, the end of them all.
std::optional<HoursSpan> NextSpan(std::vector<HoursRange> const& ranges, std::int64_t at);

// Whether a program is inside its opening hours, looked at once a pass. A span once entered is
// left only when the clock reaches its end, so a clock set back an hour (the end of daylight
// saving time) inside it does not close the program before its start time comes round again;
// and a span once left is not entered again when the clock goes back a little (kStepBack) into
// it. A span entered late (the clock jumped over its start) is entered as the clock says; one the
// clock jumped over entirely is skipped. Touching or overlapping spans are one stretch (of at most a week).
class HoursClock {
public:
    // A clock set back further than this (by hand, not daylight saving) leaves the span it was in.
    static constexpr std::int64_t kSetBack = 180;  // minutes
    // A span just left is entered again only from further back than this before its end: the
    // clock went back further than a daylight saving step (it was put right by hand).
    static constexpr std::int64_t kStepBack = 120;  // minutes

    // True when `now` is inside the hours.
    bool Look(LocalTime const& now, std::vector<HoursRange> const& ranges);
    bool Inside() const { return current_.has_value(); }
    // While inside: the wall minute the stretch ends.
    std::int64_t End() const { return current_ ? current_->end : 0; }
    // The wall minute of the last look.
    std::int64_t LastLook() const { return lastLook_; }

private:
    std::optional<HoursSpan> current_;
    std::optional<std::int64_t> leftEnd_;  // the end of the stretch last left
    std::int64_t lastLook_ = 0;
};

}  // namespace vigilon
