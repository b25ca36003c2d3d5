#include "engine/rules/hours_clock.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "support/local_time.h"

namespace vigilon {
namespace {

constexpr std::int64_t kDay = 1440;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : (a - b + 1) / b; }

// Every span of `ranges` that starts on the days from `firstDay` to `lastDay`, in order of start.
std::vector<HoursSpan> SpansOn(std::vector<HoursRange> const& ranges, std::int64_t firstDay, std::int64_t lastDay) {
    std::vector<HoursSpan> spans;
    for (std::int64_t day = firstDay; day <= lastDay; ++day) {
        int const weekday = WeekdayOf(day * kDay);
        for (HoursRange const& range : ranges) {
            if (((range.days >> weekday) & 1u) == 0) continue;
            std::int64_t const start = day * kDay + range.start;
            spans.push_back({start, start + range.Length()});
        }
    }
    std::sort(spans.begin(), spans.end(), [](HoursSpan const& a, HoursSpan const& b) { return a.start < b.start; });
    return spans;
}

// `span`, stretched over every span of `ranges` that overlaps or touches it, for at most a week:
// hours on every day round the clock end each week and begin again at once.
HoursSpan Stretch(std::vector<HoursRange> const& ranges, HoursSpan span) {
    std::int64_t const most = span.start + 7 * kDay;
    for (bool grew = true; grew && span.end < most;) {
        grew = false;
        for (HoursSpan const& other : SpansOn(ranges, FloorDiv(span.start, kDay) - 1, FloorDiv(span.end, kDay))) {
            if (other.start <= span.end && other.end > span.end) {
                span.end = std::min(other.end, most);
                grew = true;
            }
        }
    }
    return span;
}

}  // namespace

std::int64_t WallMinute(LocalTime const& time) {
    return DaysFromCivil(time.year, time.month, time.day) * kDay + time.hour * 60 + time.minute;
}

int WeekdayOf(std::int64_t wallMinute) {
    // 1970-01-01 was a Thursday.
    std::int64_t const day = FloorDiv(wallMinute, kDay);
    return static_cast<int>(((day + 3) % 7 + 7) % 7);
}

std::wstring WallMinuteText(std::int64_t wallMinute) {
    std::int64_t const inDay = wallMinute - FloorDiv(wallMinute, kDay) * kDay;
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%02d:%02d", static_cast<int>(inDay / 60), static_cast<int>(inDay % 60));
    return std::wstring(DayName(WeekdayOf(wallMinute))) + L" " + text;
}

LocalTime WallMinuteTime(std::int64_t wallMinute, LocalTime const& now) {
    std::int64_t const from = WallMinute(now) * 60'000 + now.second * 1000 + now.millisecond;
    return AddMilliseconds(now, wallMinute * 60'000 - from);
}

std::optional<HoursSpan> SpanAt(std::vector<HoursRange> const& ranges, std::int64_t at) {
    std::int64_t const today = FloorDiv(at, kDay);
    std::optional<HoursSpan> found;
    for (HoursSpan const& span : SpansOn(ranges, today - 1, today)) {
        if (span.start <= at && at < span.end && (!found || span.end > found->end)) found = span;
    }
    if (found) found = Stretch(ranges, *found);
    return found;
}

std::optional<HoursSpan> NextSpan(std::vector<HoursRange> const& ranges, std::int64_t at) {
    std::int64_t const today = FloorDiv(at, kDay);
    for (HoursSpan const& span : SpansOn(ranges, today, today + 8)) {
        if (span.start > at) return Stretch(ranges, span);
    }
    return std::nullopt;
}

bool HoursClock::Look(LocalTime const& now, std::vector<HoursRange> const& ranges) {
    std::int64_t const at = WallMinute(now);
    lastLook_ = at;
    if (current_ && (at >= current_->end || at < current_->start - kSetBack)) {
        if (at >= current_->end) leftEnd_ = current_->end;
        current_.reset();
    }
    if (!current_) {
        std::optional<HoursSpan> const span = SpanAt(ranges, at);
        // Not back into the stretch just left when the clock went back a daylight saving step into
        // it; a clock put right after it was set on by hand (a day, say) is inside its hours again.
        bool const steppedBack = leftEnd_ && span && span->end <= *leftEnd_ && at >= *leftEnd_ - kStepBack;
        if (span && !steppedBack) current_ = span;
    }
    return current_.has_value();
}

}  // namespace vigilon
