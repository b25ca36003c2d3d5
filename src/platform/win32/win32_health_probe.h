#pragma once

#include <cstdint>
#include <optional>

#include "platform/health_probe.h"
#include "platform/win32/pool_jobs.h"

namespace vigilon {

// Runs each health check on a thread of the system's pool (the kinds are in win32_health_checks).
// The pool thread writes the check's answer and then its state, which the caller's thread reads;
// a check that outlives its ticket (or the probe) keeps its state alive through its shared owner.
// The limit is kept here too: a check whose thread has not answered by then (a share that never
// answers) is taken as timed out and left to end unseen. A command still running when its check
// is dropped, or when the probe goes, is ended.
class Win32HealthProbe final : public HealthProbe {
public:
    // One check, shared by the probe and the pool thread that runs it.
    struct Check;
    enum class State : std::uint8_t { Pending, Done };

    Win32HealthProbe() = default;
    Win32HealthProbe(Win32HealthProbe const&) = delete;
    Win32HealthProbe& operator=(Win32HealthProbe const&) = delete;
    ~Win32HealthProbe() override;

    std::uint32_t Begin(HealthQuestion const& question) override;
    std::optional<HealthAnswer> Take(std::uint32_t ticket) override;
    void Drop(std::uint32_t ticket) override;

private:
    PoolJobs<Check, State> checks_;
};

}  // namespace vigilon
