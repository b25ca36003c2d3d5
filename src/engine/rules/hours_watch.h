#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/opening_hours.h"
#include "engine/rules/hours_clock.h"

namespace vigilon {

// What Hours and IdleRestart read of a program's keys, and how the program stands with them (see
// HoursRule and IdleRule).
struct HoursWatch {
    // A person's start outside the hours that lasts until the program's window goes.
    static constexpr std::int64_t kUntilClosed = INT64_MAX;

    std::vector<HoursRange> ranges;          // Hours as read; empty: the program runs at all hours
    HoursClock clock;
    bool looked = false;                     // the clock was looked at since the ranges were read
    bool on = true;                          // inside its hours at the last look, or a person's start runs
    std::optional<std::int64_t> nextStart;   // wall minute: while off, when its hours next begin
    std::optional<std::int64_t> overrideUntil;  // wall minute: a person's start outside the hours runs until then
    bool personAsked = false;                // Launch Programs asked for its start outside its hours
    bool offSaid = false;                    // the history said `off` for this stretch off
    bool closeForHours = false;              // off: the window that ran as its hours ended is to be closed
    bool closeAsked = false;                 // off: its window was asked to close, once for each stretch off
    bool restartAsked = false;               // at the last look its window was asked to close for a restart
    std::uint64_t restartsSeen = 0;          // its restarts counted at the last look while its window was there
    bool troubleEnd = false;                 // a person's start until it is closed crashed or failed: started
                                             // again as its Restart says, and still watched, until it runs again

    std::optional<int> idleMinutes;          // IdleRestart as read
    std::optional<std::int64_t> idleRestartedAfter;  // monotonic: the last input the last idle restart followed
};

}  // namespace vigilon
