#pragma once

#include <cstdint>
#include <vector>

#include "platform/registry.h"

namespace vigilon {

// The times of the sessions Vigilon ended (logoff, restart, shutdown), kept in the user's registry
// so that the lockout's count survives the restart they cause. On a PC with a write filter the key
// must be excluded from it; without it, the count starts afresh at each start, and the uptime rule
// still holds.
class EscalationRecord {
public:
    static constexpr wchar_t kKeyPath[] = L"Software\\Vigilon\\Escalation";
    static constexpr wchar_t kValueName[] = L"Times";
    static constexpr std::int64_t kDaySeconds = 86'400;

    explicit EscalationRecord(Registry& registry) : registry_(registry) {}

    // How many were within the last 24 hours of `nowSeconds` (seconds since 1970, UTC).
    int InLastDay(std::int64_t nowSeconds);
    // One at `nowSeconds`, written at once; false when it could not be written.
    bool Add(std::int64_t nowSeconds);
    // The last one added did not happen (the system refused it): taken back.
    void TakeBack();

private:
    // Reads the times once; those older than a day are dropped.
    void Load(std::int64_t nowSeconds);
    bool Save();

    Registry& registry_;
    bool loaded_ = false;
    std::vector<std::int64_t> times_;
};

}  // namespace vigilon
