#pragma once

#include <cstdint>

namespace vigilon {

// A local date and time, with how far the local time was ahead of UTC at that moment (negative
// west of Greenwich). The offset is the one of the moment itself, so a time kept from before a
// change of daylight saving time still names the same instant after it.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    int utcOffsetMinutes = 0;
};

// The user-interface thread's events and the wall clock.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Handles every event waiting for the thread, then returns. False when the program has been
    // asked to end (the quit request stays pending for the outermost loop).
    virtual bool ProcessPendingEvents() = 0;

    // Blocks until an event arrives for the thread or `milliseconds` have passed, whichever comes
    // first. Uses no processor time while it waits.
    virtual void WaitForEvents(std::int32_t milliseconds) = 0;

    // The wall-clock time of day, in milliseconds.
    virtual std::int64_t WallClockMilliseconds() = 0;

    // Milliseconds since some fixed moment, never set back: for deadlines.
    virtual std::int64_t MonotonicMilliseconds() = 0;

    // Milliseconds of time the computer was awake since some fixed moment: a clock that stands
    // still while it sleeps or hibernates, for limits on what runs (a command's two minutes).
    virtual std::int64_t AwakeMilliseconds() { return MonotonicMilliseconds(); }

    // The local date and time now, with the offset from UTC of this moment.
    virtual LocalTime LocalTimeNow() = 0;
};

}  // namespace vigilon
