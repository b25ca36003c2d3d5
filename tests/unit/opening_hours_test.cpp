#include <gtest/gtest.h>

#include "app/opening_hours.h"
#include "engine/rules/hours_clock.h"

namespace vigilon {
namespace {

constexpr std::uint8_t kWeekdays = 0x1f;  // Monday to Friday

TEST(OpeningHours, RangesAreReadWithTheirDaysAndAnythingElseIsRefusedWithItsReason) {
    using Ranges = std::vector<HoursRange>;
    EXPECT_EQ(ParseOpeningHours(L"Mon-Fri 08:00-18:00; Sat 9:00-13:00").value,
              (Ranges{{kWeekdays, 480, 1080}, {0x20, 540, 780}}));
    // All days when left out; across midnight; 24:00 as an end; days in any case, listed, round the week.
    EXPECT_EQ(ParseOpeningHours(L" 22:00-06:00 ").value, (Ranges{{0x7f, 1320, 360}}));
    EXPECT_EQ(ParseOpeningHours(L"sat-MON 00:00-24:00").value, (Ranges{{0x61, 0, 1440}}));
    EXPECT_EQ(ParseOpeningHours(L"Mon,Wed, Fri-Sat 07:30-08:00").value, (Ranges{{0x35, 450, 480}}));
    EXPECT_EQ(ParseOpeningHours(L"Mon - Fri 08:00 - 18:00").value, (Ranges{{kWeekdays, 480, 1080}}));  // blanks at dashes
    EXPECT_EQ((HoursRange{0x7f, 1320, 360}).Length(), 480);
    EXPECT_EQ((HoursRange{0x7f, 0, 1440}).Length(), 1440);
    EXPECT_FALSE(ParseOpeningHours(L"  ").value);
    EXPECT_TRUE(ParseOpeningHours(L"").problem.empty());

    // Each refusal says what was wanted and which part is wrong.
    for (auto const& [text, part] : {std::pair{L"Mon-Fry 08:00-18:00", L"Mon-Fry"}, {L"Monday 08:00-18:00", L"Monday"},
                                      {L"Mon 8-18", L"8-18"}, {L"Mon 08:00", L"08:00"}, {L"24:00-06:00", L"24:00-06:00"},
                                      {L"08:00-18:60", L"08:00-18:60"}, {L"08:00-08:00", L"08:00-08:00"},
                                      {L"00:00-00:00", L"00:00-00:00"}, {L"08:00-18:00;", L"empty"},
                                      {L"Mon-Fri, 08:00-18:00", L"\"\""}}) {
        RuleValue<std::vector<HoursRange>> const read = ParseOpeningHours(text);
        EXPECT_FALSE(read.value) << text;
        EXPECT_NE(read.problem.find(part), std::wstring::npos) << text << L": " << read.problem;
    }

    EXPECT_EQ(ParseIdleRestart(L" 10 ").value, 10);
    EXPECT_EQ(ParseIdleRestart(L"1440").value, 1440);
    for (wchar_t const* text : {L"0", L"1441", L"ten", L"-5"}) {
        EXPECT_FALSE(ParseIdleRestart(text).value) << text;
        EXPECT_FALSE(ParseIdleRestart(text).problem.empty()) << text;
    }
}

// 2026-03-09 is a Monday.
LocalTime At(int day, int hour, int minute) { return LocalTime{2026, 3, day, hour, minute, 0, 0}; }

TEST(HoursClock, SpansBelongToTheDayTheyStartOnAndTheNextStartIsSaidAsTheClockReadsIt) {
    std::vector<HoursRange> const shop = *ParseOpeningHours(L"Mon-Fri 08:00-18:00; Sat 09:00-13:00").value;
    EXPECT_EQ(WeekdayOf(WallMinute(At(9, 12, 0))), 0);
    EXPECT_FALSE(SpanAt(shop, WallMinute(At(9, 7, 59))));
    EXPECT_EQ(SpanAt(shop, WallMinute(At(9, 8, 0))), (HoursSpan{WallMinute(At(9, 8, 0)), WallMinute(At(9, 18, 0))}));
    EXPECT_FALSE(SpanAt(shop, WallMinute(At(9, 18, 0))));
    // Saturday after 13:00: next Monday.
    std::optional<HoursSpan> const next = NextSpan(shop, WallMinute(At(14, 13, 0)));
    ASSERT_TRUE(next);
    EXPECT_EQ(WallMinuteText(next->start), L"Mon 08:00");
    EXPECT_EQ(WallMinuteText(next->end), L"Mon 18:00");
    EXPECT_EQ(WallMinuteTime(next->start, LocalTime{2026, 3, 14, 13, 0, 30, 5, 60}).day, 16);

    // Friday night 22:00-06:00 runs into Saturday morning, and Saturday's does not begin.
    std::vector<HoursRange> const nights = *ParseOpeningHours(L"Fri 22:00-06:00").value;
    EXPECT_TRUE(SpanAt(nights, WallMinute(At(14, 5, 59))));
    EXPECT_FALSE(SpanAt(nights, WallMinute(At(14, 22, 0))));
    EXPECT_EQ(WallMinuteText(NextSpan(nights, WallMinute(At(14, 6, 0)))->start), L"Fri 22:00");

    // Touching ranges are one stretch; hours round the clock end after a week and begin again.
    std::vector<HoursRange> const split = *ParseOpeningHours(L"08:00-12:00; 12:00-18:00").value;
    EXPECT_EQ(SpanAt(split, WallMinute(At(9, 9, 0)))->end, WallMinute(At(9, 18, 0)));
    std::vector<HoursRange> const always = *ParseOpeningHours(L"00:00-24:00").value;
    EXPECT_EQ(SpanAt(always, WallMinute(At(9, 9, 0)))->end, WallMinute(At(16, 0, 0)));
    HoursClock clock;
    EXPECT_TRUE(clock.Look(At(9, 9, 0), always));
    EXPECT_TRUE(clock.Look(At(16, 0, 0), always));
    EXPECT_TRUE(clock.Look(At(16, 0, 1), always));
}

// Looks at `clock` once a minute from `from` to `to` (wall minutes of 2026-03-09), and counts its edges.
struct Edges {
    int entered = 0;
    int left = 0;
};
Edges Walk(HoursClock& clock, std::vector<HoursRange> const& ranges, int day, int from, int to) {
    Edges edges;
    bool inside = clock.Inside();
    for (int m = from; m <= to; ++m) {
        bool const now = clock.Look(At(day, m / 60, m % 60), ranges);
        edges.entered += now && !inside ? 1 : 0;
        edges.left += !now && inside ? 1 : 0;
        inside = now;
    }
    return edges;
}

TEST(HoursClock, AChangeOfDaylightSavingTimeIsRunAsTheClockSaysAndNoSpanIsEnteredTwice) {
    // The clock jumps from 02:00 to 03:00. A range that starts in the missing hour is entered at
    // 03:00; one that lies in it entirely is skipped; one across the night is an hour shorter.
    std::vector<HoursRange> const lateStart = *ParseOpeningHours(L"02:30-05:00").value;
    HoursClock forward;
    EXPECT_EQ(Walk(forward, lateStart, 29, 100, 119).entered, 0);
    EXPECT_EQ(Walk(forward, lateStart, 29, 180, 299).entered, 1);
    EXPECT_FALSE(forward.Look(At(29, 5, 0), lateStart));
    HoursClock skipped;
    std::vector<HoursRange> const inTheGap = *ParseOpeningHours(L"02:10-02:40").value;
    EXPECT_EQ(Walk(skipped, inTheGap, 29, 100, 119).entered + Walk(skipped, inTheGap, 29, 180, 240).entered, 0);

    // The clock goes back from 03:00 to 02:00. A range that ended at 02:30 is not entered again at
    // the second 02:00; one that began at 02:30 is not left at the second 02:00; one across the
    // night is an hour longer, ending when the clock says 06:00.
    std::vector<HoursRange> const earlyEnd = *ParseOpeningHours(L"00:00-02:30").value;
    HoursClock back;
    Edges first = Walk(back, earlyEnd, 25, 0, 179);
    Edges second = Walk(back, earlyEnd, 25, 120, 300);
    EXPECT_EQ(first.entered + second.entered, 1);
    EXPECT_EQ(first.left + second.left, 1);
    std::vector<HoursRange> const lateBegin = *ParseOpeningHours(L"02:30-04:00").value;
    HoursClock begun;
    first = Walk(begun, lateBegin, 25, 140, 179);
    second = Walk(begun, lateBegin, 25, 120, 300);
    EXPECT_EQ(first.entered, 1);
    EXPECT_EQ(first.left + second.entered, 0);
    EXPECT_EQ(second.left, 1);
    EXPECT_FALSE(begun.Inside());
    std::vector<HoursRange> const night = *ParseOpeningHours(L"22:00-06:00").value;
    HoursClock overnight;
    EXPECT_TRUE(overnight.Look(At(24, 23, 0), night));
    Walk(overnight, night, 25, 0, 179);
    EXPECT_EQ(Walk(overnight, night, 25, 120, 359).left, 0);
    EXPECT_FALSE(overnight.Look(At(25, 6, 0), night));

    // A clock set back by hand, further than daylight saving goes, leaves the span it was in.
    HoursClock byHand;
    EXPECT_TRUE(byHand.Look(At(25, 3, 0), lateBegin));
    EXPECT_FALSE(byHand.Look(At(24, 5, 0), lateBegin));
    // A clock set on a day by hand and put right again: today's hours run on.
    std::vector<HoursRange> const office = *ParseOpeningHours(L"08:00-18:00").value;
    HoursClock putRight;
    EXPECT_TRUE(putRight.Look(At(9, 10, 0), office));
    EXPECT_TRUE(putRight.Look(At(10, 10, 0), office));
    EXPECT_TRUE(putRight.Look(At(9, 10, 5), office));
}

}  // namespace
}  // namespace vigilon
