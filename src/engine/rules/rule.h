#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/watched_program.h"
#include "engine/graceful_restart.h"
#include "engine/program_state.h"
#include "engine/outputs/program_status.h"
#include "platform/platform.h"

namespace vigilon {

class SupervisionJournal;

// A program's keys as they are now and as they were last read: a value that cannot be used is
// said once, when its text is new, and its rule is off.
class RuleTexts {
public:
    RuleTexts(WatchedProgram const& record, RestartRules const& before, SupervisionJournal& journal)
        : record_(record), before_(before), journal_(journal) {}
    RestartRules const& Now() const { return record_.rules; }
    bool Changed(std::wstring RestartRules::*text) const { return record_.rules.*text != before_.*text; }
    // Says why the key's value is not used, when `problem` names a reason and the text (or the key
    // `alsoWhen`, that it depends on) is new.
    void Refuse(wchar_t const* key, std::wstring RestartRules::*text, std::wstring const& problem,
                std::wstring RestartRules::*alsoWhen = nullptr) const;

private:
    WatchedProgram const& record_;
    RestartRules const& before_;
    SupervisionJournal& journal_;
};

// What a rule sees of the pass.
struct RuleContext {
    Platform& platform;
    SupervisionJournal& journal;
    std::int64_t now;  // pass time
    int hangSeconds;   // 0: windows are not asked whether they answer
    std::int64_t lastGap = -1;  // pass time when the passes last resumed after a sleep or a stop; -1 never
};

// A restart a rule asks for: why, what the report says of it, and what the history says.
struct RestartAsk {
    RestartReason reason;
    std::wstring details;
    std::wstring explained;
};

// One rule for a program, asked by the pass at the same few points. What a rule keeps of a
// program lives in the program's state (ProgramState), never in the rule.
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
    // The window is left alone (not Vigilon's to end): what the rule still watches, restarting nothing.
    virtual void LeftAlone(WatchedProgram const&, RuleContext const&, ProgramState&, bool /*launchPaused*/) const {}
    // Launching is paused, or the window was spared: what the rule counted starts afresh.
    virtual void Forget(ProgramState&) const {}
    // Whether the rule holds the start of a program without a window, at every visit of the pass.
    virtual bool HoldsStart(WatchedProgram const&, ProgramState&, bool /*launchPaused*/) const { return false; }
    // The program's row, as the rule sees it.
    virtual void Describe(ProgramStatus&, ProgramState const&, bool /*launchPaused*/) const {}
    // The program `name` is no longer listed: what the rule holds for it is given back.
    virtual void Unlisted(std::wstring const& /*name*/, ProgramState&) const {}
};

// The rules every program has, in the order the pass asks them: Restart, RestartAt, MaxMemoryMB
// and the check that the window answers.
std::span<Rule const* const> ProgramRules();

// Seconds with one decimal, as the history gives waits ("2.5").
std::wstring Seconds(std::int64_t milliseconds);

// Asks the program's window whether it answers, when no question is out; true when one was sent.
bool AskWhetherItAnswers(Platform& platform, ProgramState& state, std::int64_t now);

}  // namespace vigilon
