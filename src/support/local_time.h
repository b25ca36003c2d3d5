#pragma once

#include <cstdint>
#include <string>

#include "platform/event_loop.h"

namespace vigilon {

// The days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);

// The local time `milliseconds` later, by the calendar, with the same offset from UTC: the instant
// is right, though a change of daylight saving time between is not known.
LocalTime AddMilliseconds(LocalTime const& time, std::int64_t milliseconds);

// The time of day as hh:mm:ss.
std::wstring ClockText(LocalTime const& time);

// The date and time as yyyy-mm-dd hh:mm:ss.
std::wstring DateTimeText(LocalTime const& time);

// The local time in ISO 8601 with its own offset from UTC: 2026-01-02T03:04:05+01:00.
std::wstring IsoTimeText(LocalTime const& time);

// The seconds since 1970-01-01 00:00 UTC of a local time, by its own offset.
std::int64_t UnixSeconds(LocalTime const& time);

}  // namespace vigilon
