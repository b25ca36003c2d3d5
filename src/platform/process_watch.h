#pragma once

#include <cstdint>
#include <span>

namespace vigilon {

// Learns of the end of other processes as it happens, so that a watched program that exits can be
// started again at once instead of at the next tick.
class ProcessWatch {
public:
    virtual ~ProcessWatch() = default;

    // Watches exactly these processes from now on: the end of each is reported once, through the
    // host's ProcessEnded, and processes left out of the list are no longer watched. A process
    // that cannot be opened (already gone, or not ours to see) is left out silently.
    virtual void WatchProcesses(std::span<std::uint32_t const> processIds) = 0;
};

}  // namespace vigilon
