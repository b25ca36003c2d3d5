#include "engine/wait_seconds.h"

#include <cstdint>

namespace vigilon {

bool WaitSeconds(EventLoop& events, int seconds) {
    std::int64_t const start = events.WallClockMilliseconds() / 1000;
    for (;;) {
        std::int64_t const now = events.WallClockMilliseconds();
        std::int64_t const moved = now / 1000 - start;
        if (moved >= seconds || moved < 0) return true;
        events.WaitForEvents(static_cast<std::int32_t>(1000 - now % 1000));
        if (!events.ProcessPendingEvents()) return false;
    }
}

}  // namespace vigilon
