#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/restart_rules.h"

namespace vigilon {

// What the escalation ladder does when a program's troubles reach a step's count: run the command
// on trouble, or end the session (log off, restart the PC, shut it down).
enum class EscalateAction : std::uint8_t { Command, Logoff, Reboot, Shutdown };
std::wstring_view EscalateActionWord(EscalateAction action);  // "command", "logoff", "reboot", "shutdown"
// True for the actions that end the session: held by the lockout and announced by the notice.
inline bool EndsSession(EscalateAction action) { return action != EscalateAction::Command; }

// One step of the ladder: at `count` troubles within the minutes, `action`.
struct EscalateStep {
    int count = 0;
    EscalateAction action = EscalateAction::Command;

    bool operator==(EscalateStep const&) const = default;
};

inline constexpr int kMaxEscalateCount = 1000;
inline constexpr int kDefaultEscalateMinutes = 60;
inline constexpr int kMaxEscalateMinutes = 1440;

// Escalate: steps <count>:<action> separated by commas ("5:command, 10:logoff, 15:reboot"), each
// count from 1 to kMaxEscalateCount and given once, the action's case ignored; in the order of
// their counts.
RuleValue<std::vector<EscalateStep>> ParseEscalate(std::wstring_view text);
// The steps in the form Escalate is written: "5:command, 10:reboot".
std::wstring FormatEscalate(std::vector<EscalateStep> const& steps);

// EscalateMinutes: whole minutes from 1 to kMaxEscalateMinutes; kDefaultEscalateMinutes when not set.
RuleValue<int> ParseEscalateMinutes(std::wstring_view text);

}  // namespace vigilon
