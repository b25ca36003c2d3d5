#pragma once

#include <cstdint>
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
    };
    std::vector<Request> requests;
    std::int64_t uptime = 3'600'000;  // an hour: past the lockout's shortest uptime
    std::wstring refusal;             // empty: accepted

    std::int64_t UptimeMilliseconds() override { return uptime; }
    SessionEndResult EndSession(SessionEnd how, std::wstring_view reason) override {
        requests.push_back({how, std::wstring(reason)});
        return {refusal.empty(), refusal};
    }
};

}  // namespace vigilon::testing
