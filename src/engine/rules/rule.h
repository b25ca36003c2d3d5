#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/watched_program.h"
#include "engine/graceful_restart.h"
#include "engine/program_state.h"
#include "engine/program_status.h"
#include "engine/rules/rule_texts.h"
#include "platform/platform.h"

namespace vigilon {

// What a rule sees of the pass.
struct RuleContext {
    Platform& platform;
    SupervisionJournal& journal;
    std::int64_t now;  // pass time
    int hangSeconds;   // 0: windows are not asked whether they answer
};

// A restart a rule asks for: why, what the report says of it, and what the history says.
struct RestartAsk {
    RestartReason reason;
    std::wstring details;
    std::wstring explained;
};

// One rule for a program, asked by the pass at the same few points. What a rule keeps of a
// program lives in the program's state; the rule types themselves hold nothing.
class Rule {
public:
    virtual ~Rule() = default;
    // The program's keys changed since they were last read: the rule reads its own.
    virtual void Read(RuleTexts const& texts, ProgramState& state) const = 0;
    // At every pass, whether the program runs or not.
    virtual void Look(RuleContext const&, ProgramState&) const {}
    // A new window of the program's was found: what the rule counted of the last one is forgotten.
    virtual void Found(RuleContext const&, ProgramState&) const {}
    // Whether the rule asks for a restart of the program's window now, and for which reason.
    virtual std::optional<RestartAsk> RestartDue(WatchedProgram const&, RuleContext const&, ProgramState&) const {
        return std::nullopt;
    }
    // No rule restarts the window at this pass: what the rule does meanwhile.
    virtual void Unrestarted(RuleContext const&, ProgramState&) const {}
    // Launching is paused, or the window was spared: what the rule counted starts afresh.
    virtual void Forget(ProgramState&) const {}
    // Whether the rule holds the start of a program without a window, at every visit of the pass.
    virtual bool HoldsStart(WatchedProgram const&, ProgramState&, bool /*launchPaused*/) const { return false; }
    // The program's row, as the rule sees it.
    virtual void Describe(ProgramStatus&, ProgramState const&, bool /*launchPaused*/) const {}
    // The program `name` is no longer listed: what the rule holds for it is given back.
    virtual void Unlisted(std::wstring const& /*name*/, ProgramState&) const {}
};

// The rules in the order the pass asks them.
std::span<Rule const* const> ProgramRules();

}  // namespace vigilon
