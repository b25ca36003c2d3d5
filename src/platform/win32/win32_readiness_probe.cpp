#include "platform/win32/win32_readiness_probe.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "platform/win32/tcp_connect.h"

namespace vigilon {

struct Win32ReadinessProbe::Check {
    std::wstring path;
    std::wstring host;
    int port = 0;
    std::atomic<ProbeResult> result{ProbeResult::Pending};
};

namespace {

DWORD WINAPI RunCheck(LPVOID context) {
    std::unique_ptr<std::shared_ptr<Win32ReadinessProbe::Check>> const owner(
        static_cast<std::shared_ptr<Win32ReadinessProbe::Check>*>(context));
    Win32ReadinessProbe::Check& check = **owner;
    // Each address of the name gets its own 2 s, with no limit over all.
    ConnectLimits const limits{.perAddressMilliseconds = Win32ReadinessProbe::kConnectTimeoutMilliseconds};
    bool const there = !check.path.empty() ? GetFileAttributesW(check.path.c_str()) != INVALID_FILE_ATTRIBUTES
                                           : ConnectTcp(check.host, check.port, limits) == ConnectOutcome::Connected;
    check.result.store(there ? ProbeResult::There : ProbeResult::Missing);
    return 0;
}

}  // namespace

Win32ReadinessProbe::Win32ReadinessProbe() = default;

Win32ReadinessProbe::~Win32ReadinessProbe() = default;

std::uint32_t Win32ReadinessProbe::Begin(std::wstring const& path, std::wstring const& host, int port) {
    auto check = std::make_shared<Check>();
    check->path = path;
    check->host = host;
    check->port = port;
    return checks_.Begin(std::move(check), RunCheck, ProbeResult::Missing);
}

ProbeResult Win32ReadinessProbe::Take(std::uint32_t ticket) { return checks_.Take(ticket, ProbeResult::Missing); }

void Win32ReadinessProbe::Drop(std::uint32_t ticket) { checks_.Forget(ticket); }

}  // namespace vigilon
