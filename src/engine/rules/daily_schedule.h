#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/event_loop.h"

namespace vigilon {

// When a daily restart is due, looked at once a pass in local time. A time counts when a pass sees
// the clock reach it, within kLatest after it; a time that went by before the first look (Vigilon
// was not running), or longer ago (asleep, passes stopped), is skipped, not caught up. Each day's
// time is done at most once, and never one before the last done, so a clock set back (daylight
// saving, by hand) does not bring a time round twice.
class DailySchedule {
public:
    static constexpr std::int64_t kLatest = 5;  // minutes

    // True when one of `times` (minutes after midnight) has come since the last look at `now`.
    bool Due(LocalTime const& now, std::vector<int> const& times);

private:
    bool looked_ = false;
    std::int64_t lastLook_ = 0;          // minutes since 1970-01-01, local
    std::map<int, std::int64_t> done_;   // for each time, the occurrence last done
};

}  // namespace vigilon
