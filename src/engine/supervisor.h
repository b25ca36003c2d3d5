#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/watched_program.h"
#include "engine/pass_clock.h"
#include "engine/program_state.h"
#include "engine/outputs/program_status.h"
#include "engine/rules/rule.h"
#include "engine/outputs/trouble.h"
#include "platform/platform.h"

namespace vigilon {

// Where the findings of the supervisor, its rules and the engine's outputs go: the engine writes
// them to the history and tells the user.
class SupervisionJournal {
public:
    virtual ~SupervisionJournal() = default;
    // One line of the history.
    virtual void Log(std::wstring_view event, std::wstring_view program, std::wstring_view details) = 0;
    // A problem the user is told of, as the notice mode says; also a line of the history.
    virtual void Report(std::wstring const& message, std::wstring_view program) = 0;
    // A tray notice, and nothing more.
    virtual void Notice(std::wstring const& text) = 0;
    // Something someone away from the PC is told of: the event log, the user's command (with the
    // path of a screenshot of it, when one was taken).
    virtual void Trouble(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                         std::wstring_view screenshot = {}) = 0;
    // Begins a picture of the program's window when screenshots are on: its id, or 0 for none.
    // Taken from the screen's pixels when `hung`.
    virtual std::uint32_t BeginScreenshot(WindowHandle window, std::wstring_view program, std::wstring_view event,
                                          bool hung) = 0;
    // What came of picture `id`: nothing while it is being taken; then the path of its file, or
    // empty when none was saved.
    virtual std::optional<std::wstring> ScreenshotTaken(std::uint32_t id) = 0;
    // An end of the program that the history calls trouble (gone unplanned, restarted for a hang,
    // its memory or its check): what its escalation ladder counts.
    virtual void TroubleEnd(WatchedProgram const& /*record*/, ProgramState& /*state*/) {}
};

// Each watched program's state between passes, and the rules that move it: found and gone,
// back-off after quick ends, the check that its window answers, and the graceful restart that asks
// a window to close before anything is ended. The engine's pass finds the windows and starts the
// programs; it hands each finding to the supervisor and asks it what is due.
//
// How a program moves (ProgramPhase):
//   Absent --start--> Starting --window found--> Running --window gone--> Absent or BackingOff
//   Starting --no window within the wait--> Absent or BackingOff
//   BackingOff --its moment comes--> started as from Absent
//   Running --no answer for HangSeconds--> Restarting (its picture taken first, when wanted; then
//     asked to close) --closes--> Absent --> started again
//   Restarting --still there after 10 s: asked again--> answers: Running; does not: its process
//     ended (its picture taken first, when wanted)
//   Restarting --not the program's own to end, or ending it denied--> LeftAlone: only asked whether
//     it answers, until its window goes or a restart is asked for
//   Running --gone with exit code 0 under Restart=Failure--> Closed, or Lingering while its process
//     runs on --> Closed or Absent once it ends; Closed --Launch Programs, a start asked for--> Absent
// Every move goes through MovePhase, which holds the moves allowed (MovesTo).
class Supervisor {
public:
    Supervisor(Platform& platform, SupervisionJournal& journal);

    void SetBackoff(bool on) { backoff_ = on; }
    void SetHangSeconds(int seconds) { hangSeconds_ = seconds; }
    // In tray mode the user is told once that a program is started again only every 5 minutes.
    void SetTrayNotices(bool on) { trayNotices_ = on; }

    // The program's state, made on first use.
    ProgramState& StateOf(std::wstring const& name) { return states_[name]; }
    ProgramState const* Find(std::wstring const& name) const;
    // Every program's state, by name.
    std::map<std::wstring, ProgramState>& Book() { return states_; }
    // Adds a rule, asked after those already there.
    void AddRule(Rule const& rule) { rules_.push_back(&rule); }
    // Forgets the states of the programs `listed` no longer names; `count` programs are listed.
    void ForgetUnlisted(std::size_t count, std::function<bool(std::wstring const&)> const& listed);
    // The processes that own the windows found, and those Vigilon last started for each program,
    // each once, in ascending order.
    std::vector<std::uint32_t> ProcessesFound() const;

    // A pass begins: the pass clock moves on.
    void PassBegins();
    // The pass clock's time now.
    std::int64_t PassTime() const { return clock_.Now(); }
    // A second goes by while a pass is held (a notice waits for OK, a start for its window): the
    // pass clock moves on, and every window not being restarted is asked again whether it answers,
    // so that a hang that begins meanwhile is judged by how long it lasted once passes resume.
    // Nothing is closed or ended here.
    void WhileHeld(bool launchPaused);

    // A program without a caption: nothing of it is watched. What it counted stays (the metrics'
    // counters never go down while Vigilon runs), and so does the process last started for it,
    // which may run on when the caption comes back.
    void Unwatch(ProgramState& state) {
        for (Rule const* rule : rules_) rule->Forget(state);  // a check under way is dropped
        ProgramState kept;
        MovePhase(kept, ProgramPhase::Unwatched);
        kept.counts = state.counts;
        kept.starts = state.starts;
        kept.startedProcessId = state.startedProcessId;
        kept.startedProcessAt = state.startedProcessAt;
        // Its keys as read stay, and so does a wait for its start: neither depends on a window.
        kept.rulesRead = std::move(state.rulesRead);
        kept.restartWhen = state.restartWhen;
        kept.noCrashDialog = state.noCrashDialog;
        kept.memoryLimit = state.memoryLimit;
        kept.restartTimes = std::move(state.restartTimes);
        kept.start = std::move(state.start);
        kept.placement = std::move(state.placement);
        kept.health = std::move(state.health);
        kept.trouble = std::move(state.trouble);
        kept.escalation = std::move(state.escalation);
        kept.hours = std::move(state.hours);
        state = std::move(kept);
    }
    // The window the pass found for the program, 0 for none: found after a start, gone, or another;
    // and the program's keys, read by every rule when they changed since the last read.
    void Observe(WatchedProgram const& record, ProgramState& state, WindowHandle window);
    // The same for a program without a window (Window=None): the process the pass found for it, 0
    // for none.
    void ObserveProcess(WatchedProgram const& record, ProgramState& state, std::uint32_t processId);
    // A program without a window that still holds the window it had before its key said so lets
    // go of it, as of a window gone: nothing is ended.
    void LetGoOfWindow(WatchedProgram const& record, ProgramState& state);
    // True when the process Vigilon last started for the program is known to have ended.
    bool StartedProcessEnded(ProgramState const& state) const { return KnownEnded(state.startedProcessId); }
    // The process Vigilon started for a program without a window ended before a pass found it. Its
    // exit is judged as a process gone is: under Restart=Failure a normal end leaves the program
    // closed; any other end is a failed start, tried again after the back-off or, without back-off,
    // after kRetryMilliseconds. True when a notice is to say so: once, until the program is found.
    bool EndedBeforeFound(WatchedProgram const& record, ProgramState& state);
    // True when a watched process is known to have ended.
    bool KnownEnded(std::uint32_t processId) const {
        return processId != 0 && platform_.processes.ExitCode(processId).state == ProcessExit::State::Ended;
    }
    // True when a program without a window may be started now.
    bool StartDue(ProgramState const& state) const;
    // Vigilon started the program: the process started, when the shell tells it.
    void Started(ProgramState& state, ExecuteResult const& started);
    // The shell refused to start the program: a failed start, as far as back-off goes. True the
    // first time since the last start that succeeded: the refusal is said once.
    bool StartRefused(WatchedProgram const& record, ProgramState& state);
    // True while a rule holds the start of the program (see Rule::HoldsStart).
    bool HoldsStart(WatchedProgram const& record, ProgramState& state, bool launchPaused) const {
        bool held = false;
        for (Rule const* rule : rules_) held = rule->HoldsStart(record, state, launchPaused) || held;
        return held;
    }
    // True when the program was started and its window has not come within the wait.
    bool WaitIsOver(ProgramState const& state) const;
    // No pile of copies: true while the process Vigilon last started for the program runs on and
    // the program has no window (without one: is not found by that process's image), unless a
    // start was asked for. The history says so once, naming
    // the windows that process shows, so that the caption can be corrected; once the process has
    // ended the program is started as usual.
    bool HeldByItsProcess(WatchedProgram const& record, ProgramState& state);
    // The captions of the windows the process Vigilon last started for the program shows; nothing
    // when that process no longer runs.
    std::optional<std::vector<std::wstring>> StartedProcessWindows(ProgramState const& state);
    // The wait for its window is over without it: a failed start, as far as back-off goes.
    void WindowNeverCame(WatchedProgram const& record, ProgramState& state);
    // Applies the rules to a program, at every pass, in their order: its daily restarts and its
    // memory limit, the check that its window answers (the first restart decided has its way),
    // and a restart under way. A program without a window is not
    // restarted; while launching is paused nothing is closed or ended (nothing would start it
    // again), and a restart under way is called off.
    void Supervise(WatchedProgram const& record, ProgramState& state, bool launchPaused);
    // A start that failed for a cause that may pass (a missing file, a start the shell refused
    // without back-off) is tried again after this long.
    static constexpr std::int64_t kRetryMilliseconds = 60'000;

    // Close Programs asked the window to close: its going is no news.
    void ClosedOnRequest(ProgramState& state);
    // Launch Programs: every program may start at once.
    void ClearBackoff();
    // Launch Programs: a program left closed by Restart=Failure is started again too.
    void ReleaseClosed();

    // Restarts a running program the graceful way, as asked by the user. False when it has no
    // window to restart, or its window is not its own to end.
    bool RequestRestart(WatchedProgram const& record, ProgramState& state);

    // The state the program's row shows at monotonic time `now`: cheap, for a look at every pass.
    StatusState RowState(WatchedProgram const& record, ProgramState const* state, bool launchPaused,
                         std::int64_t now) const;
    // What a program's row is decided from, beside its state.
    struct RowFacts {
        bool launchPaused = false;
        std::int64_t now = 0;  // monotonic
        LocalTime local{};
        bool confirmWindow = false;  // the window the last pass found is asked for again
        bool stopped = false;        // no pass runs (the editor is open): what was last seen may be long gone
    };
    // The program's row for the status window, scripts and the metrics: the one place it is decided.
    ProgramStatus StatusOf(WatchedProgram const& record, ProgramState const* state, RowFacts const& facts) const;

    // False when the program's window has left a question unanswered for the hang time (one left
    // alone, or spared, is not restarted for it).
    bool Responding(ProgramState const& state) const;
    // True when the program runs free of trouble: its window there, answering, neither being
    // restarted, nor left alone or spared, nor failing its health check.
    bool Healthy(ProgramState const& state) const;

    // Whether `window` answered the question asked of it.
    void Answered(WindowHandle window, bool answered);

    // The name of a program other than `except` whose window `window` is, empty for none.
    std::wstring HolderOf(WindowHandle window, std::wstring const& except = {}) const;

private:
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    // Moves the program's phase; the history's line for the move, when it has one, says `event`.
    void Move(WatchedProgram const& record, ProgramState& state, ProgramPhase to, std::wstring_view event = {},
              std::wstring_view details = {});
    RuleContext Context() { return {platform_, journal_, clock_.Now(), hangSeconds_, clock_.LastGap()}; }
    void Gone(WatchedProgram const& record, ProgramState& state);
    // Its window found, or for a program without a window its process (`window` 0).
    void Found(WatchedProgram const& record, ProgramState& state, WindowHandle window, std::uint32_t processId);
    // A process that ended of its own accord is counted by its exit code.
    static void CountExit(ProgramState& state, ProcessExit const& exit);
    // Restart=Failure: the process a gone window left running is judged once it has ended.
    void SettleLingering(WatchedProgram const& record, ProgramState& state);
    // Holds the program back after a quick end or a start whose window never came, when back-off
    // is on.
    void BackOff(WatchedProgram const& record, ProgramState& state, bool failedStart);
    // Launching is paused: a restart under way is called off, and the counts start afresh.
    void HoldOff(ProgramState& state);
    // A rule's restart (hung, memory, daily): none for a window spared for its reason within the
    // hour, and held once the rules restarted the program RestartLimit::kMostPerHour times this
    // hour for it. Otherwise its picture is begun (for a hang or its memory) and the window is
    // asked to close once it is done. True when it was decided.
    bool RuleRestart(WatchedProgram const& record, ProgramState& state, RestartAsk ask);
    // A rule's restart, its picture done: the history and the report say why, with the picture's
    // path, and the window is asked to close.
    void CloseDecided(WatchedProgram const& record, ProgramState& state);
    // Says once that a rule's restart is held, and why.
    void Held(WatchedProgram const& record, RestartReason reason);
    // Reads the program's rules when they changed, and tells the history once of each value that
    // cannot be used.
    void ReadRules(WatchedProgram const& record, ProgramState& state);
    // Sends a question when none is out; true when one was sent.
    bool Ask(ProgramState& state);
    // Asks the window to close for `reason`, when it is the program's own; a window of another
    // program is said once not to be ended, and left alone (a restart asked for is only refused:
    // the answer says so). True when it was asked.
    bool BeginRestart(WatchedProgram const& record, ProgramState& state, RestartReason reason);
    // Leaves the window running for good, and tells the user why.
    void LeaveAlone(WatchedProgram const& record, ProgramState& state, std::wstring const& why);
    void ContinueRestart(WatchedProgram const& record, ProgramState& state);
    void EndProgram(WatchedProgram const& record, ProgramState& state);
    // Empty when the window's process is the program's own, otherwise why it is not. Its own: one
    // Vigilon started for it, or one whose image is the program's executable and that shows no
    // top-level window other than the program's. Never the shell's process.
    std::wstring NotOwnBecause(WatchedProgram const& record, ProgramState const& state);
    // The same for a program without a window: its own only when it is the process Vigilon
    // started for it, its image is the program's executable, and it runs in this session.
    std::wstring NotOwnProcessBecause(WatchedProgram const& record, ProgramState const& state);
    // True when the process Vigilon last started for the program still runs: the process of that
    // id is the one started then. One known to have ended is forgotten.
    bool StartedProcessRuns(ProgramState& state);
    // The visible top-level windows of a process, in the order the system lists them.
    std::vector<WindowHandle> VisibleWindowsOf(std::uint32_t processId);
    // True when the process shows a top-level window other than `held` (the program's) that is not
    // the program's: one that fails its match, or any one when its caption is matched by Contains
    // or End, which a stranger's caption can fit.
    bool ShowsOtherWindows(WatchedProgram const& record, std::uint32_t processId, WindowHandle held);

    Platform& platform_;
    SupervisionJournal& journal_;
    PassClock clock_;
    bool backoff_ = false;
    int hangSeconds_ = 0;
    bool trayNotices_ = false;
    std::map<std::wstring, ProgramState> states_;
    std::vector<Rule const*> rules_{ProgramRules().begin(), ProgramRules().end()};
};

}  // namespace vigilon
