#pragma once

#include <cstdint>
#include <memory>

#include "platform/readiness_probe.h"
#include "platform/win32/pool_jobs.h"

namespace vigilon {

// Runs each check on a thread of the system's pool: GetFileAttributesW for a path, a connection
// given up after kConnectTimeoutMilliseconds on each address of a server (ConnectTcp, which starts the sockets for
// that connection only). The pool thread writes only the check's own result, which the
// user-interface thread reads; a check that outlives its ticket (or the probe) keeps its state
// alive through its shared owner.
class Win32ReadinessProbe final : public ReadinessProbe {
public:
    static constexpr int kConnectTimeoutMilliseconds = 2000;
    // One check, shared by the probe and the pool thread that runs it.
    struct Check;

    Win32ReadinessProbe();
    Win32ReadinessProbe(Win32ReadinessProbe const&) = delete;
    Win32ReadinessProbe& operator=(Win32ReadinessProbe const&) = delete;
    ~Win32ReadinessProbe() override;

    std::uint32_t Begin(std::wstring const& path, std::wstring const& host, int port) override;
    ProbeResult Take(std::uint32_t ticket) override;
    void Drop(std::uint32_t ticket) override;

private:
    PoolJobs<Check, ProbeResult> checks_;
};

}  // namespace vigilon
