#pragma once

#include <cstdint>
#include <optional>

#include "platform/health_probe.h"

namespace vigilon {

// Runs each health check on a thread of the system's pool.
class Win32HealthProbe final : public HealthProbe {
public:
    Win32HealthProbe() = default;
    Win32HealthProbe(Win32HealthProbe const&) = delete;
    Win32HealthProbe& operator=(Win32HealthProbe const&) = delete;

    std::uint32_t Begin(HealthQuestion const& question) override;
    std::optional<HealthAnswer> Take(std::uint32_t ticket) override;
    void Drop(std::uint32_t ticket) override;
};

}  // namespace vigilon
