#pragma once

#include <cstdint>

namespace vigilon {

// The memory limit's count, on the pass clock: the program's private memory is read at most every
// kSampleInterval, and only a run of readings over the limit for kTimeOver restarts it. A reading
// under the limit starts the count afresh, so a spike at start-up never restarts a program.
class MemoryWatch {
public:
    static constexpr std::int64_t kSampleInterval = 5'000;
    static constexpr std::int64_t kTimeOver = 60'000;

    bool SampleDue(std::int64_t now) const { return lastSample_ < 0 || now - lastSample_ >= kSampleInterval; }

    // A reading of `bytes` (0: it could not be read) at pass time `now` against `limitMB`. True
    // when the memory has stayed over the limit for kTimeOver.
    bool Sample(std::int64_t now, std::uint64_t bytes, int limitMB) {
        lastSample_ = now;
        if (bytes == 0) return false;  // no reading: neither over nor under
        bytes_ = bytes;
        megabytes_ = static_cast<std::int64_t>(bytes >> 20);
        if (megabytes_ <= limitMB) {
            overSince_ = -1;
            return false;
        }
        if (overSince_ < 0) overSince_ = now;
        return now - overSince_ >= kTimeOver;
    }

    // The last reading, in MB.
    std::int64_t Megabytes() const { return megabytes_; }
    // The last reading in bytes; 0 before the first.
    std::uint64_t Bytes() const { return bytes_; }

    void Clear() { *this = {}; }

private:
    std::int64_t lastSample_ = -1;
    std::int64_t overSince_ = -1;
    std::int64_t megabytes_ = 0;
    std::uint64_t bytes_ = 0;
};

}  // namespace vigilon
