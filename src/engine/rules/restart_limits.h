#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/graceful_restart.h"
#include "platform/window_handle.h"

namespace vigilon {

// How often the rules may restart one program, on the pass clock: at most kMostPerHour restarts
// for one reason within kHour. A rule whose setting sits under the program's normal use (a memory
// limit too low, a hang time shorter than its start) would otherwise restart it all day; the next
// restart is held instead, and said once until one for that reason is allowed again.
class RestartLimit {
public:
    static constexpr int kMostPerHour = 3;
    static constexpr std::int64_t kHour = 3'600'000;

    bool Allows(RestartReason reason, std::int64_t now) const;
    // A restart for `reason` began at pass time `now`.
    void Restarted(RestartReason reason, std::int64_t now);
    // True the first time a restart for `reason` is held since the last one allowed.
    bool FirstHeld(RestartReason reason);
    // What held the restart for `reason` is over (the program works again): the next hold is said.
    void Recovered(RestartReason reason) { counts_[Index(reason)].heldSaid = false; }

private:
    struct Count {
        std::vector<std::int64_t> times;  // the restarts within the last hour, oldest first
        bool heldSaid = false;
    };
    static std::size_t Index(RestartReason reason) { return static_cast<std::size_t>(reason); }
    std::array<Count, kRestartReasonCount> counts_;
};

// A window that answered when it was about to be ended for a reason (it asks the user to save) is
// not asked to close again for that reason for kHour of passing, so that no prompt is stacked on
// another; a new window of the program is asked as any other.
class SparedWindows {
public:
    static constexpr std::int64_t kHour = RestartLimit::kHour;

    void Spared(WindowHandle window, RestartReason reason, std::int64_t now) {
        spared_[static_cast<std::size_t>(reason)] = {window, now};
    }
    bool Holds(WindowHandle window, RestartReason reason, std::int64_t now) const {
        Entry const& entry = spared_[static_cast<std::size_t>(reason)];
        return entry.window != 0 && entry.window == window && now - entry.at < kHour;
    }
    // True while the window is spared for any reason.
    bool Any(WindowHandle window, std::int64_t now) const {
        for (std::size_t i = 0; i < spared_.size(); ++i) {
            if (Holds(window, static_cast<RestartReason>(i), now)) return true;
        }
        return false;
    }

private:
    struct Entry {
        WindowHandle window = 0;
        std::int64_t at = 0;
    };
    std::array<Entry, kRestartReasonCount> spared_{};
};

// A window just found may be busy starting up (loading data, a splash screen): it is not called
// hung before it has answered once, or before kAllowance of passing since it was found.
class StartupAllowance {
public:
    static constexpr std::int64_t kAllowance = 60'000;

    void Found(std::int64_t now) {
        foundAt_ = now;
        answered_ = false;
    }
    void Answered() { answered_ = true; }
    // True once the window has answered since it was found.
    bool HasAnswered() const { return answered_; }
    bool Over(std::int64_t now) const { return answered_ || now - foundAt_ >= kAllowance; }

private:
    std::int64_t foundAt_ = 0;
    bool answered_ = false;
};

}  // namespace vigilon
