#include "support/local_time.h"

#include <cwchar>

namespace vigilon {

std::int64_t DaysFromCivil(int year, int month, int day) {
    std::int64_t const y = year - (month <= 2 ? 1 : 0);
    std::int64_t const era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t const yearOfEra = y - era * 400;
    std::int64_t const dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t const dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

LocalTime AddMilliseconds(LocalTime const& time, std::int64_t milliseconds) {
    std::int64_t const dayMs = 86'400'000;
    std::int64_t total = DaysFromCivil(time.year, time.month, time.day) * dayMs +
                         ((time.hour * 60 + time.minute) * 60 + time.second) * 1000LL + time.millisecond + milliseconds;
    std::int64_t days = total >= 0 ? total / dayMs : (total - dayMs + 1) / dayMs;
    std::int64_t inDay = total - days * dayMs;
    // The date of a day number, the inverse of DaysFromCivil.
    days += 719468;
    std::int64_t const era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t const dayOfEra = days - era * 146097;
    std::int64_t const yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t const dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t const mp = (5 * dayOfYear + 2) / 153;
    LocalTime later;
    later.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    later.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    later.year = static_cast<int>(yearOfEra + era * 400 + (later.month <= 2 ? 1 : 0));
    later.hour = static_cast<int>(inDay / 3'600'000);
    later.minute = static_cast<int>(inDay / 60'000 % 60);
    later.second = static_cast<int>(inDay / 1000 % 60);
    later.millisecond = static_cast<int>(inDay % 1000);
    later.utcOffsetMinutes = time.utcOffsetMinutes;
    return later;
}

std::wstring ClockText(LocalTime const& time) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

std::wstring DateTimeText(LocalTime const& time) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%04d-%02d-%02d ", time.year, time.month, time.day);
    return text + ClockText(time);
}

std::wstring IsoTimeText(LocalTime const& time) {
    int const utcOffsetMinutes = time.utcOffsetMinutes;
    int const offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    wchar_t text[40];
    std::swprintf(text, std::size(text), L"%04d-%02d-%02dT%02d:%02d:%02d%lc%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, static_cast<wint_t>(utcOffsetMinutes < 0 ? L'-' : L'+'),
                  offset / 60, offset % 60);
    return text;
}

std::int64_t UnixSeconds(LocalTime const& time) {
    return DaysFromCivil(time.year, time.month, time.day) * 86'400 + (time.hour * 60 + time.minute) * 60LL +
           time.second - time.utcOffsetMinutes * 60LL;
}

}  // namespace vigilon
