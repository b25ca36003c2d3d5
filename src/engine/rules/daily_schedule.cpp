#include "engine/rules/daily_schedule.h"

#include "support/local_time.h"

namespace vigilon {

bool DailySchedule::Due(LocalTime const& now, std::vector<int> const& times) {
    std::int64_t const today = DaysFromCivil(now.year, now.month, now.day);
    std::int64_t const stamp = today * 1440 + now.hour * 60 + now.minute;
    bool due = false;
    if (looked_) {
        for (int const time : times) {
            // Yesterday's occurrence too: a time just before midnight, looked at just after.
            for (std::int64_t const day : {today - 1, today}) {
                std::int64_t const at = day * 1440 + time;
                auto const done = done_.find(time);
                bool const new_ = done == done_.end() || at > done->second;
                if (lastLook_ < at && at <= stamp && stamp - at <= kLatest && new_) {
                    done_[time] = at;
                    due = true;
                }
            }
        }
    }
    looked_ = true;
    lastLook_ = stamp;
    return due;
}

}  // namespace vigilon
