#pragma once

#include <string_view>

#include "engine/graceful_restart.h"
#include "engine/program_counts.h"
#include "engine/outputs/trouble.h"

namespace vigilon {

// What each reason for a restart is told and counted as, in one row per reason.
struct RestartReasonInfo {
    TroubleKind trouble;      // told as, and its word is the history's line (a restart asked for is told as `restart`)
    RestartCause cause;       // counted as, in the metrics
    std::wstring_view held;   // why it would have been made, when the hourly limit holds it
    bool inTrouble;           // the window is in trouble: pictured first, and its end is told as trouble
    bool limited;             // at most RestartLimit::kMostPerHour an hour: a planned end by the clock or
                              // the PC's use is no fault to hold back (a busy kiosk's idle restarts)
};

inline constexpr RestartReasonInfo kRestartReasons[] = {
    {TroubleKind::Hung, RestartCause::Hang, L"because it stopped responding", true, true},             // Hung
    {TroubleKind::Memory, RestartCause::Memory, L"because its memory stayed over its limit", true, true}, // Memory
    {TroubleKind::Scheduled, RestartCause::Daily, L"at its daily times", false, true},                  // Scheduled
    {TroubleKind::Scheduled, RestartCause::Asked, L"", false, true},                                    // Requested
    {TroubleKind::Unhealthy, RestartCause::Check, L"because its check failed", true, true},            // Check
    {TroubleKind::HoursOff, RestartCause::Hours, L"at the end of its hours", false, false},             // Hours
    {TroubleKind::Idle, RestartCause::Idle, L"after the PC was left idle", false, false},               // Idle
};

constexpr RestartReasonInfo const& About(RestartReason reason) {
    return kRestartReasons[static_cast<std::size_t>(reason)];
}

}  // namespace vigilon
