#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/session_power.h"

namespace vigilon::testing {

// Records each request to end the session; nothing is ended. The PC has run `uptime`; a test
// makes the system refuse with `refusal`.
class FakeSessionPower final : public SessionPower {
public:
    struct Request {
        SessionEnd how;
        std::wstring reason;
        std::int64_t uptime = 0;  // the PC's uptime when it was asked
        bool paused = false;      // whether launching was paused when it was asked (as `paused` told)
    };
    std::vector<Request> requests;
    std::int64_t uptime = 3'600'000;  // an hour: past the lockout's shortest uptime
    std::wstring refusal;             // empty: accepted
    std::function<bool()> paused;     // tells whether launching is paused; none: never

    std::int64_t UptimeMilliseconds() override { return uptime; }
    SessionEndResult EndSession(SessionEnd how, std::wstring_view reason) override {
        requests.push_back({how, std::wstring(reason), uptime, paused && paused()});
        return {refusal.empty(), refusal};
    }
};

}  // namespace vigilon::testing
