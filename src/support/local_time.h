#pragma once

#include <cstdint>
#include <string>

#include "platform/event_loop.h"

namespace vigilon {

// The days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);

// The local time `milliseconds` later, by the calendar (a clock change between is not known).
LocalTime AddMilliseconds(LocalTime const& time, std::int64_t milliseconds);

// The time of day as hh:mm:ss.
std::wstring ClockText(LocalTime const& time);

// The date and time as yyyy-mm-dd hh:mm:ss.
std::wstring DateTimeText(LocalTime const& time);

}  // namespace vigilon
