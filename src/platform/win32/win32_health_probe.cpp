#include "platform/win32/win32_health_probe.h"

namespace vigilon {

// Not built yet: every check fails at once.
std::uint32_t Win32HealthProbe::Begin(HealthQuestion const&) { return 1; }

std::optional<HealthAnswer> Win32HealthProbe::Take(std::uint32_t) {
    HealthAnswer answer;
    answer.error = L"not available";
    return answer;
}

void Win32HealthProbe::Drop(std::uint32_t) {}

}  // namespace vigilon
