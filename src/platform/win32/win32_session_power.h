#pragma once

#include "platform/session_power.h"

namespace vigilon {

// Logs off with ExitWindowsEx; restarts and shuts down with InitiateShutdownW, the reason a planned,
// application-caused one so that the system's shutdown log names Vigilon and why. The right to shut
// the system down is taken for this process first.
class Win32SessionPower final : public SessionPower {
public:
    std::int64_t UptimeMilliseconds() override;
    SessionEndResult EndSession(SessionEnd how, std::wstring_view reason) override;
};

}  // namespace vigilon
