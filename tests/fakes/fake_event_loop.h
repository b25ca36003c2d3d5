#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/event_loop.h"

namespace vigilon::testing {

// A clock that moves only when the code under test waits, and events scheduled on it.
class FakeEventLoop final : public EventLoop {
public:
    std::int64_t now = 1'000'000'500;  // half-way through a second
    int waits = 0;
    bool quitting = false;

    // Runs `event` the first time events are processed at or after `at`.
    void Schedule(std::int64_t at, std::function<void()> event) { events_.emplace(at, std::move(event)); }
    void After(std::int64_t milliseconds, std::function<void()> event) { Schedule(now + milliseconds, std::move(event)); }

    std::function<void()> onProcess;  // runs first whenever events are processed

    bool ProcessPendingEvents() override {
        if (onProcess) onProcess();
        while (!events_.empty() && events_.begin()->first <= now) {
            auto event = std::move(events_.begin()->second);
            events_.erase(events_.begin());
            event();
        }
        return !quitting;
    }
    void WaitForEvents(std::int32_t milliseconds) override {
        ++waits;
        std::int64_t const until = now + milliseconds;
        now = !events_.empty() && events_.begin()->first < until ? events_.begin()->first : until;
    }
    std::int64_t WallClockMilliseconds() override { return now; }
    std::int64_t MonotonicMilliseconds() override { return now; }
    // Time spent asleep, which the awake clock leaves out.
    std::int64_t asleep = 0;
    std::int64_t AwakeMilliseconds() override { return now - asleep; }
    // The local time: 2026-01-02 03:04:05.000 when `now` is 1'000'000'000, moving with `now`; a
    // test sets the clock with `localShift`, as a user does, and daylight saving moves it with
    // `utcOffsetMinutes` too.
    std::int64_t localShift = 0;
    int utcOffsetMinutes = 60;
    LocalTime LocalTimeNow() override {
        std::int64_t const ms = (now - 1'000'000'000) + localShift + ((3 * 60 + 4) * 60 + 5) * 1000;
        std::int64_t const seconds = ms / 1000;
        std::int64_t days = seconds / 86400;
        std::int64_t const inDay = seconds % 86400;
        // 2026-01-02 plus whole days, through the months of 2026.
        constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int month = 0;
        days += 1;  // the 2nd of January is day 1 of the year, counted from 0
        while (days >= kMonthDays[month]) days -= kMonthDays[month++];
        return {2026, month + 1, static_cast<int>(days) + 1, static_cast<int>(inDay / 3600),
                static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60), static_cast<int>(ms % 1000), utcOffsetMinutes};
    }

private:
    std::multimap<std::int64_t, std::function<void()>> events_;
};

}  // namespace vigilon::testing
