#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vigilon {

// How the session is ended.
enum class SessionEnd : std::uint8_t { Logoff, Reboot, Shutdown };

// What the system said to a request to end the session.
struct SessionEndResult {
    bool accepted = false;
    std::wstring refusal;  // when not accepted: the system's reason, as it words it
};

// Ending the user's session or the PC, and how long the PC has run. The requests return at once;
// the system ends the session afterwards.
class SessionPower {
public:
    virtual ~SessionPower() = default;

    // Milliseconds since the PC started.
    virtual std::int64_t UptimeMilliseconds() = 0;

    // Asks the system to end the session as `how` says; `reason` goes into the system's shutdown
    // log as the planned, application-caused reason.
    virtual SessionEndResult EndSession(SessionEnd how, std::wstring_view reason) = 0;
};

}  // namespace vigilon
