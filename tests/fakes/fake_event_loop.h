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
    // The local time: 2026-01-02 03:04:05 plus the milliseconds of `now`.
    LocalTime LocalTimeNow() override { return {2026, 1, 2, 3, 4, 5, static_cast<int>(now % 1000)}; }

private:
    std::multimap<std::int64_t, std::function<void()>> events_;
};

}  // namespace vigilon::testing
