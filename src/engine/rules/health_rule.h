#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/watched_program.h"
#include "engine/program_state.h"
#include "engine/rules/check_budget.h"
#include "engine/rules/health_judgement.h"
#include "engine/rules/rule.h"
#include "engine/supervisor.h"
#include "platform/platform.h"

namespace vigilon {

// Check, with CheckText, CheckAge and the timing keys: whether a running program works, not only
// that its window is there.
//
// How it goes: only while the program is Running (never while it starts, backs off, restarts, is
// left closed or alone, waits for its start conditions, while launching is paused or no pass runs),
// once CheckGrace is over since its window was found, a check begins every CheckSeconds, one at a
// time. An http, tcp, file or run check goes to the platform's probe, which answers on another
// thread; the pass only takes the answer, and gives the check up itself (a failure, "no answer
// within 10 s") when none came kGiveUpAfter past its timeout. A window: check is judged at once
// from the captions the pass read. CheckFailures failures in a row make the program Unhealthy: it
// is restarted the graceful way for the reason Check (the supervisor tells it, with its picture),
// or with CheckAction=Report only told (`unhealthy`, the trouble, a notice), once until a check
// passes again (`healthy`). A window left alone is still checked and told, never restarted. The
// count starts over after a success, a new window, a pause, and a change of the check; a sleep
// drops the check under way and starts the grace over. What Vigilon itself cannot ask (a variable
// not set) is said once as `ignored`, and counts neither way. A check under way when the window changes, goes or is being restarted is
// dropped and its answer never counted. What it keeps of a program is its HealthWatch.
class HealthRule final : public Rule {
public:
    static constexpr std::int64_t kGiveUpAfter = 5'000;
    // Checks begun by one pass, at most: when many programs come due together (all started at
    // once), the rest begin at the next passes, so that they stay spread over their period and a
    // few threads serve them all rather than one each at the same moment. A window: check asks
    // nothing of the probe and is not counted.
    static constexpr int kBegunPerPass = 4;
    // Of them, commands: each starts a process, the dearest thing a check can do.
    static constexpr int kCommandsPerPass = 1;

    // The caption of a visible top-level window of process `processId`, other than `except`, whose
    // caption begins with `text` (case ignored); nothing when none shows one.
    using ShownWindow =
        std::function<std::optional<std::wstring>(std::uint32_t processId, WindowHandle except, std::wstring_view text)>;

    // `folder` is Vigilon's own, where run: commands run.
    HealthRule(Platform& platform, SupervisionJournal& journal, Supervisor& supervisor, std::wstring folder,
               ShownWindow shown);
    HealthRule(HealthRule const&) = delete;
    HealthRule& operator=(HealthRule const&) = delete;
    ~HealthRule() override;

    void Read(RuleTexts const& texts, ProgramState& state) const override;
    // A check under way for a window no longer Running is dropped.
    void Look(RuleContext const& context, ProgramState& state) const override;
    void Found(RuleContext const& context, ProgramState& state) const override;
    std::optional<RestartAsk> RestartDue(WatchedProgram const& record, RuleContext const& context,
                                         ProgramState& state) const override;
    // Still checked, and told, but never restarted.
    void LeftAlone(WatchedProgram const& record, RuleContext const& context, ProgramState& state,
                   bool launchPaused) const override;
    void Forget(ProgramState& state) const override;
    // A running program whose failures reached the count is Unhealthy, with what its check found.
    void Describe(ProgramStatus& row, ProgramState const& state, bool launchPaused) const override;
    void Unlisted(std::wstring const& name, ProgramState& state) const override;
    // The passes stop (the editor opens): every check under way is dropped, and the counts start over.
    void ForgetAll() const;

    // The program's check run now at a user's asking, whatever its state, as its keys are now: its
    // id, or 0 when it has no usable check. Its result is told, never counted.
    std::uint32_t Ask(WatchedProgram const& record, ProgramState& state);
    // The checks asked for that ended since the last call; each is said in the history (`checked`).
    struct Settled {
        std::uint32_t id = 0;
        std::wstring program;
        HealthVerdict verdict;
    };
    std::vector<Settled> TakeSettled();

private:
    // A check asked for by a user, not settled yet.
    struct Asked {
        std::uint32_t id = 0;
        std::wstring program;
        HealthQuestion question;
        std::optional<int> maxAge;
        std::uint32_t ticket = 0;            // 0 when judged at once
        std::optional<HealthVerdict> verdict;  // a window: check's
        std::int64_t began = 0;              // monotonic
    };

    // The keys into `health`; each value that cannot be used is said through `texts`, when given.
    static void ParseKeys(RestartRules const& rules, HealthWatch& health, RuleTexts const* texts);
    HealthQuestion Question(HealthWatch const& health) const;
    // Takes the answer of the check under way, or gives it up once it is late; counts it.
    void TakeAnswer(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const;
    // Takes the answer under way; after a sleep, drops the check under way and starts the grace over.
    void Settle(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const;
    // Begins the next check once the grace is over and it is due, when none is under way.
    void BeginDue(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const;
    void Begin(WatchedProgram const& record, RuleContext const& context, ProgramState& state) const;
    // The caption of the window a window: check looks for, shown by the process of the program's window.
    std::optional<std::wstring> ErrorWindow(HealthWatch const& health, ProgramState const& state) const;
    void Count(WatchedProgram const& record, ProgramState& state, HealthVerdict verdict) const;
    // Says the failures once: the history, the trouble and a notice.
    void Tell(WatchedProgram const& record, std::wstring const& details) const;
    void Drop(HealthWatch& health) const;
    // Vigilon could not ask (a variable not set, a command without its full path): said once, not counted.
    void Unasked(WatchedProgram const& record, HealthWatch& health, std::wstring const& why) const;
    // True while a check asked for the program runs: its scheduled check waits meanwhile.
    bool AskedUnderWay(std::wstring const& program) const;

    Platform& platform_;
    SupervisionJournal& journal_;
    Supervisor& supervisor_;
    std::wstring folder_;
    ShownWindow shown_;
    VariableLookup variables_;
    std::vector<Asked> asked_;
    std::uint32_t lastAsked_ = 0;
    // The checks each pass may begin, and the commands among them.
    mutable CheckBudget checksBudget_{kBegunPerPass};
    mutable CheckBudget commandsBudget_{kCommandsPerPass};
};

}  // namespace vigilon
