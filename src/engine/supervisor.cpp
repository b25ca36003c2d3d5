#include "engine/supervisor.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/window_match.h"
#include "engine/rules/escalate_rule.h"
#include "engine/rules/exit_rule.h"
#include "engine/rules/restart_reasons.h"
#include "engine/rules/rule.h"
#include "support/local_time.h"
#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {

constexpr std::int64_t kWindowWaitMilliseconds = 61 * 1000;  // 61 one-second tries

Supervisor::Supervisor(Platform& platform, SupervisionJournal& journal) : platform_(platform), journal_(journal) {}

ProgramState const* Supervisor::Find(std::wstring const& name) const {
    auto const it = states_.find(name);
    return it == states_.end() ? nullptr : &it->second;
}

void Supervisor::ForgetUnlisted(std::size_t count, std::function<bool(std::wstring const&)> const& listed) {
    // Every program visited has a state: more states than programs means some were deleted, and
    // only then are the names compared.
    if (states_.size() <= count) return;
    for (auto it = states_.begin(); it != states_.end();) {
        if (listed(it->first)) {
            ++it;
            continue;
        }
        for (Rule const* rule : rules_) rule->Unlisted(it->first, it->second);
        it = states_.erase(it);
    }
}

std::vector<std::uint32_t> Supervisor::ProcessesFound() const {
    std::vector<std::uint32_t> processes;
    for (auto const& [name, state] : states_) {
        if (state.window.processId != 0) processes.push_back(state.window.processId);
        if (state.lingeringProcessId != 0) processes.push_back(state.lingeringProcessId);
        // Known to run or not, so that no other copy is started while it runs without its window.
        if (state.startedProcessId != 0) processes.push_back(state.startedProcessId);
    }
    std::sort(processes.begin(), processes.end());
    processes.erase(std::unique(processes.begin(), processes.end()), processes.end());
    return processes;
}

void Supervisor::PassBegins() { clock_.Tick(Now()); }

void Supervisor::WhileHeld(bool launchPaused) {
    clock_.Tick(Now());
    // While paused, a pass forgets every answer (HoldOff): nothing to ask for.
    if (hangSeconds_ <= 0 || launchPaused) return;
    for (auto& [name, state] : states_) {
        if (state.window.handle != 0 && !state.window.restart.Active()) Ask(state);
    }
}

void Supervisor::Move(WatchedProgram const& record, ProgramState& state, ProgramPhase to, std::wstring_view event,
                      std::wstring_view details) {
    if (!event.empty()) journal_.Log(event, record.name, details);
    MovePhase(state, to);
}

void Supervisor::Observe(WatchedProgram const& record, ProgramState& state, WindowHandle window) {
    if (state.phase == ProgramPhase::Unwatched) MovePhase(state, ProgramPhase::Absent);
    // A window gone is judged by its rules as they are now; a window found is said before them.
    if (window == 0) ReadRules(record, state);
    // Also the process of a program whose window key changed since: it runs no more as far as
    // this key goes.
    if (window == 0 && state.window.Present()) Gone(record, state);
    if (window != state.window.handle && window != 0) Found(record, state, window, platform_.desktop.WindowProcessId(window));
    ReadRules(record, state);
}

void Supervisor::ObserveProcess(WatchedProgram const& record, ProgramState& state, std::uint32_t processId) {
    if (state.phase == ProgramPhase::Unwatched) MovePhase(state, ProgramPhase::Absent);
    if (processId == 0) ReadRules(record, state);
    // Another process than the one held (a copy when the one held ended, one of a new EXE): the
    // end of the one held is told first, and counted, as for any process gone.
    if (processId != state.window.processId && state.window.Present()) Gone(record, state);
    if (processId != state.window.processId && processId != 0) Found(record, state, 0, processId);
    ReadRules(record, state);
}

void Supervisor::LetGoOfWindow(WatchedProgram const& record, ProgramState& state) {
    // Its key now says it has none: the window and its process are gone as far as this program
    // goes (nothing is ended), and its process is looked for afresh by its image.
    if (state.window.handle != 0) Gone(record, state);
}

void Supervisor::Found(WatchedProgram const& record, ProgramState& state, WindowHandle window, std::uint32_t processId) {
    // Not started by Vigilon when it was not awaited; another window of a running program is no news.
    std::wstring const found = state.phase == ProgramPhase::Starting ? Seconds(Now() - state.launchedAt) + L" s after its start"
                               : !state.window.Present()            ? L"already running"
                                                                    : L"";
    std::wstring const process = window == 0 ? L"process " + std::to_wstring(processId) + L", " : L"";
    Move(record, state, ProgramPhase::Running, found.empty() ? L"" : L"found", found.empty() ? L"" : process + found);
    state.window = {.handle = window,
                    .processId = processId,
                    .foundAt = Now(),
                    .foundTime = platform_.events.LocalTimeNow()};
    state.lingeringProcessId = 0;
    state.startAsked = false;
    state.heldByItsProcess = false;
    state.missingFile = false;
    state.quickEndSaid = false;
    for (Rule const* rule : rules_) rule->Found(Context(), state);
}

void Supervisor::Gone(WatchedProgram const& record, ProgramState& state) {
    // The program has no window now: nothing is asked of it.
    ProgramWindow const gone = std::exchange(state.window, {});
    ProcessExit const exit = platform_.processes.ExitCode(gone.processId);
    // An end Vigilon asked for (a daily restart, one asked for, a rule's own) is no trouble, nor the
    // close of a program a person started outside its hours to run until it is closed; a crash or a
    // failing exit code there is trouble, as in its hours, and it is started again as Restart says.
    bool const failed = exit.state == ProcessExit::State::Ended && !IsNormalEnd(exit.code);
    bool const untilClosed = !gone.plannedEnd && !gone.restartAsked && state.hours.overrideUntil == HoursWatch::kUntilClosed;
    bool const personsClose = untilClosed && !failed;
    if (untilClosed && failed) state.hours.troubleEnd = true;
    bool const planned = gone.plannedEnd || personsClose;
    if (!planned) CountExit(state, exit);
    // A start asked for comes before the rule that would leave the program closed.
    // A window Vigilon asked to close for a restart is started again however it ends, also when it
    // was spared first (it answered, asking its user something) and ended soon after.
    AfterEnd const after =
        state.startAsked ? AfterEnd::StartAgain : JudgeEnd(state.restartWhen, planned || gone.restartAsked, exit);
    if (after == AfterEnd::LeaveClosed) {
        Move(record, state, ProgramPhase::Closed, L"exited", ExitCodeText(exit.code));
        return;
    }
    std::wstring const code = GoneExitText(state.restartWhen, gone.processId, exit);
    // Its process ended by Vigilon is no close as asked: the history says what happened.
    std::wstring details = !planned                ? L""
                           : personsClose          ? L"closed outside its hours"
                           : !gone.endedUnanswered ? L"closed as asked"
                           : gone.handle == 0      ? L"ended"  // nothing was asked of it
                                                   : L"ended after no answer";
    if (!code.empty()) details += (details.empty() ? L"" : L", ") + code;
    if (after == AfterEnd::AwaitProcess) {
        // Gone to its own tray, perhaps: whether it failed is known once its process ends.
        Move(record, state, ProgramPhase::Lingering, L"gone", details + L": left alone until it ends");
        state.lingeringProcessId = gone.processId;
        return;
    }
    Move(record, state, ProgramPhase::Absent, L"gone", details);
    if (!planned) journal_.Trouble(TroubleKind::Gone, record.name, L"process " + std::to_wstring(gone.processId));
    if (!planned) journal_.TroubleEnd(record, state);
    // A program closed as asked did not end soon after its start of its own accord.
    if (!planned && !state.startAsked) BackOff(record, state, false);
}

void Supervisor::CountExit(ProgramState& state, ProcessExit const& exit) {
    // A window gone while its process runs on, or a code that cannot be read, is no exit to count.
    if (exit.state == ProcessExit::State::Ended) state.counts.Exited(IsNormalEnd(exit.code) ? ExitKind::Normal : ExitKind::Crash);
}

void Supervisor::SettleLingering(WatchedProgram const& record, ProgramState& state) {
    ProcessExit const exit = platform_.processes.ExitCode(state.lingeringProcessId);
    if (exit.state == ProcessExit::State::Running) return;
    std::uint32_t const processId = std::exchange(state.lingeringProcessId, 0);
    CountExit(state, exit);
    if (exit.state == ProcessExit::State::Ended && IsNormalEnd(exit.code)) {
        Move(record, state, ProgramPhase::Closed, L"exited", ExitCodeText(exit.code));
        return;
    }
    std::wstring const code = exit.state == ProcessExit::State::Ended ? ExitCodeText(exit.code) : L"exit code unknown";
    Move(record, state, ProgramPhase::Absent, L"exited", code + L": started again");
    journal_.Trouble(TroubleKind::Gone, record.name, L"process " + std::to_wstring(processId));
    journal_.TroubleEnd(record, state);
    BackOff(record, state, false);
}

void Supervisor::BackOff(WatchedProgram const& record, ProgramState& state, bool failedStart) {
    if (!backoff_) return;
    std::int64_t const delay = failedStart ? state.backoff.Failed(Now()) : state.backoff.Ended(state.launchedAt, Now());
    if (delay == 0) return;
    Move(record, state, ProgramPhase::BackingOff, L"backoff", L"next start in " + std::to_wstring(delay / 1000) + L" s");
    if (!state.backoff.FirstAtLongest()) return;
    std::wstring const message = record.name + L" keeps ending soon after it starts: it is started again every 5 minutes.";
    journal_.Trouble(TroubleKind::LongestBackoff, record.name, message);
    if (trayNotices_) journal_.Report(message, record.name);
}

bool Supervisor::StartDue(ProgramState const& state) const {
    std::int64_t const now = platform_.events.MonotonicMilliseconds();
    if (now < state.retryAt) return false;
    switch (state.phase) {
    case ProgramPhase::Absent: return true;
    case ProgramPhase::BackingOff: return state.backoff.Allows(now);
    default: return false;
    }
}

void Supervisor::Started(ProgramState& state, ExecuteResult const& started) {
    MovePhase(state, ProgramPhase::Starting);
    state.missingFile = false;
    state.launchedAt = Now();
    state.startTime = platform_.events.LocalTimeNow();
    state.startedProcessId = started.processId;
    state.startedProcessAt = started.processStarted;
    state.launchFailSaid = false;
    state.startAsked = false;
    state.heldByItsProcess = false;
    ++state.starts;
}

bool Supervisor::StartRefused(WatchedProgram const& record, ProgramState& state) {
    BackOff(record, state, true);
    // Without back-off it is tried again once a minute, not at every pass.
    if (!backoff_) state.retryAt = Now() + kRetryMilliseconds;
    return !std::exchange(state.launchFailSaid, true);
}

bool Supervisor::EndedBeforeFound(WatchedProgram const& record, ProgramState& state) {
    std::uint32_t const processId = state.startedProcessId;
    ProcessExit const exit = platform_.processes.ExitCode(processId);
    CountExit(state, exit);
    if (!state.startAsked && JudgeEnd(state.restartWhen, false, exit) == AfterEnd::LeaveClosed) {
        Move(record, state, ProgramPhase::Closed, L"exited", ExitCodeText(exit.code));
        return false;
    }
    std::wstring const code = exit.state == ProcessExit::State::Ended ? ExitCodeText(exit.code) : L"exit code unknown";
    journal_.Log(L"exited", record.name, L"process " + std::to_wstring(processId) + L" ended before it was found, " + code);
    WindowNeverCame(record, state);
    // Without back-off it is tried again once a minute, not at every other pass.
    if (!backoff_) state.retryAt = Now() + kRetryMilliseconds;
    return !std::exchange(state.quickEndSaid, true);
}

bool Supervisor::WaitIsOver(ProgramState const& state) const {
    return state.phase == ProgramPhase::Starting &&
           platform_.events.MonotonicMilliseconds() - state.launchedAt >= kWindowWaitMilliseconds;
}

bool Supervisor::StartedProcessRuns(ProgramState& state) {
    if (state.startedProcessId == 0 || state.startedProcessAt == 0) return false;
    ProcessExit const exit = platform_.processes.ExitCode(state.startedProcessId);
    if (exit.state == ProcessExit::State::Ended) {
        state.startedProcessId = 0;  // its id may name another process from now on
        return false;
    }
    return exit.state == ProcessExit::State::Running &&
           platform_.processes.ProcessStartTime(state.startedProcessId) == state.startedProcessAt;
}

bool Supervisor::HeldByItsProcess(WatchedProgram const& record, ProgramState& state) {
    // A start asked for comes first: whoever asked may know better.
    bool const held = !state.window.Present() && !state.startAsked && StartedProcessRuns(state);
    if (held && !std::exchange(state.heldByItsProcess, true)) {
        std::wstring const process = L"process " + std::to_wstring(state.startedProcessId);
        std::vector<std::wstring> const windows = StartedProcessWindows(state).value_or(std::vector<std::wstring>{});
        std::wstring const how = Windowless(record.rules) ? L" runs on, but not as " + record.exe + L" in this session"
                                 : L" runs on without a window with its caption" +
                                       (windows.empty() ? std::wstring() : L" (its windows: " + CaptionList(windows) + L")");
        journal_.Log(L"unmatched", record.name, process + how + L"; no other copy is started while it runs");
    }
    if (!held) state.heldByItsProcess = false;
    return held;
}

std::optional<std::vector<std::wstring>> Supervisor::StartedProcessWindows(ProgramState const& state) {
    std::uint32_t const process = state.startedProcessId;
    // Not watched yet while a pass waits for its window: the start time alone tells it still runs.
    if (process == 0 || state.startedProcessAt == 0 ||
        platform_.processes.ProcessStartTime(process) != state.startedProcessAt ||
        platform_.processes.ExitCode(process).state == ProcessExit::State::Ended) {
        return std::nullopt;
    }
    return ProcessWindowCaptions(platform_.desktop, process);
}

void Supervisor::WindowNeverCame(WatchedProgram const& record, ProgramState& state) {
    // A program that ends before it shows its window is a quick end too: without this it would
    // be started again every minute, with a notice each time.
    MovePhase(state, ProgramPhase::Absent);
    BackOff(record, state, true);
}

void Supervisor::Supervise(WatchedProgram const& record, ProgramState& state, bool launchPaused) {
    RuleContext const context = Context();
    for (Rule const* rule : rules_) rule->Look(context, state);
    if (state.phase == ProgramPhase::Lingering) SettleLingering(record, state);
    if (!state.window.Present()) return;
    if (state.window.restartAskedEnds >= 0 && clock_.Now() >= state.window.restartAskedEnds) {
        state.window.restartAsked = false;
        state.window.restartAskedEnds = -1;
    }
    if (state.phase == ProgramPhase::LeftAlone) {
        // Not Vigilon's to end, but still asked whether it answers (the status tells a hung one),
        // and still checked: one that works again is no longer told as failing.
        if (hangSeconds_ > 0) Ask(state);
        for (Rule const* rule : rules_) rule->LeftAlone(record, context, state, launchPaused);
        return;
    }
    if (launchPaused) {
        HoldOff(state);
        return;
    }
    if (state.window.restart.Active() && state.window.restart.Reason() == RestartReason::Hung && hangSeconds_ <= 0) {
        // The check was turned off meanwhile: nothing more is done to the window.
        state.window.restart.Clear();
        state.window.plannedEnd = false;
        MovePhase(state, ProgramPhase::Running);
    }
    if (state.window.restart.Active()) {
        ContinueRestart(record, state);
        return;
    }
    // The first rule whose restart is decided has its way; one spared or held lets the next be asked.
    for (Rule const* rule : rules_) {
        std::optional<RestartAsk> ask = rule->RestartDue(record, context, state);
        if (ask && RuleRestart(record, state, std::move(*ask))) return;
    }
    for (Rule const* rule : rules_) rule->Unrestarted(context, state);
}

void Supervisor::HoldOff(ProgramState& state) {
    // Nothing would start the program again: a restart under way is called off, and the counts
    // start afresh once launching resumes.
    // It was asked to close already, and may still: that end stays one Vigilon asked for.
    if (state.window.restart.Active()) {
        state.window.restart.Clear();
        MovePhase(state, ProgramPhase::Running);
    }
    for (Rule const* rule : rules_) rule->Forget(state);
}

bool Supervisor::RuleRestart(WatchedProgram const& record, ProgramState& state, RestartAsk ask) {
    RestartReason const reason = ask.reason;
    std::int64_t const now = clock_.Now();
    if (state.spared.Holds(state.window.handle, reason, now)) return false;
    if (About(reason).limited && !state.restartLimit.Allows(reason, now)) {
        if (state.restartLimit.FirstHeld(reason)) Held(record, reason);
        return false;
    }
    // Before the window is asked to close, or left alone: what it showed as it was in trouble.
    // A program without a window shows nothing to take a picture of.
    std::uint32_t const shot = !About(reason).inTrouble || state.window.handle == 0
                                   ? 0
                                   : journal_.BeginScreenshot(state.window.handle, record.name, Describe(About(reason).trouble).word,
                                                              reason == RestartReason::Hung);
    state.window.restart.Decide(reason, shot, std::move(ask.details), std::move(ask.explained));
    MovePhase(state, ProgramPhase::Restarting);
    ContinueRestart(record, state);
    return true;
}

void Supervisor::CloseDecided(WatchedProgram const& record, ProgramState& state) {
    GracefulRestart const decided = state.window.restart;  // asking to close starts the restart afresh
    RestartReason const reason = decided.Reason();
    TroubleKind const kind = About(reason).trouble;
    std::wstring const& shot = decided.ShotPath();
    std::wstring const withShot = shot.empty() ? std::wstring() : L", screenshot " + shot;
    journal_.Log(Describe(kind).word, record.name, decided.Explained() + withShot);
    journal_.Trouble(kind, record.name, decided.Details(), shot);  // the path goes to the command on its own
    if (About(reason).inTrouble) journal_.TroubleEnd(record, state);
    if (!BeginRestart(record, state, reason)) return;
    state.restartLimit.Restarted(reason, clock_.Now());
    state.counts.Restarted(About(reason).cause);
}

void Supervisor::Held(WatchedProgram const& record, RestartReason reason) {
    std::wstring const why(About(reason).held);
    std::wstring const message = record.name + L" is not restarted: it was restarted " +
                                 std::to_wstring(RestartLimit::kMostPerHour) + L" times in the last hour " + why + L".";
    journal_.Log(L"held", record.name, why);
    journal_.Trouble(TroubleKind::RestartHeld, record.name, message);
    journal_.Report(message, record.name);
}

void Supervisor::ReadRules(WatchedProgram const& record, ProgramState& state) {
    if (record.rules == state.rulesRead) return;
    RuleTexts const texts(record, state.rulesRead, journal_);
    for (Rule const* rule : rules_) rule->Read(texts, state);
    state.rulesRead = record.rules;
}

bool Supervisor::Ask(ProgramState& state) { return AskWhetherItAnswers(platform_, state, clock_.Now()); }

bool Supervisor::BeginRestart(WatchedProgram const& record, ProgramState& state, RestartReason reason) {
    // Not even asked to close: a folder window of Explorer's or a terminal that shares the caption
    // would close once it recovered.
    std::wstring const why = NotOwnBecause(record, state);
    if (!why.empty()) {
        // A restart asked for is refused in the answer to whoever asked, not in a message box.
        if (reason == RestartReason::Requested) {
            journal_.Log(L"restart", record.name, L"not done: " + why);
        } else {
            LeaveAlone(record, state, why);
        }
        return false;
    }
    // A program without a window is asked nothing: its process is ended once its time to close is
    // up, unless it ends first.
    bool const windowless = state.window.handle == 0;
    if (windowless) {
        // Yet its process may show windows (a console, a settings window) where work can be lost:
        // they are asked to close, as a window is, and the process is ended only after the time to close.
        std::vector<WindowHandle> const shown = VisibleWindowsOf(state.window.processId);
        std::wstring const ended = L"its process is ended in " + std::to_wstring(GracefulRestart::kTimeToClose / 1000) + L" s";
        Move(record, state, ProgramPhase::Restarting, L"close",
             shown.empty() ? L"it has no window to close: " + ended
                           : L"its process's windows are asked to close (" + std::to_wstring(shown.size()) + L"): " + ended +
                                 L" unless it ends first");
        for (WindowHandle const window : shown) platform_.desktop.PostClose(window);
    } else {
        Move(record, state, ProgramPhase::Restarting, L"close", L"");
        platform_.desktop.PostClose(state.window.handle);
    }
    state.window.restart.Begin(reason, clock_.Now());
    state.memory.Clear();
    state.window.plannedEnd = true;
    state.window.restartAsked = true;
    state.window.restartAskedEnds = -1;
    return true;
}

std::vector<WindowHandle> Supervisor::VisibleWindowsOf(std::uint32_t processId) {
    Desktop& desktop = platform_.desktop;
    std::vector<WindowHandle> windows;
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        if (desktop.WindowProcessId(window) == processId && desktop.IsVisible(window)) windows.push_back(window);
        return true;
    });
    return windows;
}

void Supervisor::ContinueRestart(WatchedProgram const& record, ProgramState& state) {
    switch (state.window.restart.Next(clock_.Now())) {
    case GracefulRestart::Step::None: return;
    case GracefulRestart::Step::Picture: {
        std::optional<std::wstring> path = journal_.ScreenshotTaken(state.window.restart.Shot());
        if (!path) return;  // still being taken: looked at again at the next pass
        state.window.restart.Pictured(std::move(*path));
        ContinueRestart(record, state);
        return;
    }
    case GracefulRestart::Step::Close: CloseDecided(record, state); return;
    case GracefulRestart::Step::AskAgain:
        // Without a window there is nothing to ask: it did not end within its time, so it is ended.
        if (state.window.handle == 0) {
            EndProgram(record, state);
            return;
        }
        if (Ask(state)) state.window.restart.AskedAgain();
        return;
    case GracefulRestart::Step::Spare:
        Move(record, state, ProgramPhase::Running, L"spared", L"it answers: not ended");
        // Not asked again for the same reason for an hour: it may be asking the user to save.
        if (state.window.restart.Reason() != RestartReason::Requested) {
            state.spared.Spared(state.window.handle, state.window.restart.Reason(), clock_.Now());
        }
        // A close for its hours stays a planned end however late the user answers ("Don't save"):
        // it is not asked again (HoursRule), and its end is no trouble.
        state.window.plannedEnd = state.window.restart.Reason() == RestartReason::Hours;
        // An end soon after is the user's answer to its question ("Don't save"): still the restart's.
        // Once it has run on for the time to close, its end is its own.
        state.window.restartAskedEnds = clock_.Now() + GracefulRestart::kTimeToClose;
        state.window.restart.Clear();
        for (Rule const* rule : rules_) rule->Forget(state);  // a minute over its limit anew, say
        return;
    case GracefulRestart::Step::End: EndProgram(record, state); return;
    }
}

void Supervisor::EndProgram(WatchedProgram const& record, ProgramState& state) {
    RestartReason const reason = state.window.restart.Reason();
    // Its window moved to another process meanwhile, or the process shows another window now.
    std::wstring const why = NotOwnBecause(record, state);
    if (!why.empty()) {
        LeaveAlone(record, state, why);
        return;
    }
    bool const trouble = About(reason).inTrouble;
    // It did not close when asked: it may be hung whatever the reason, so the screen's pixels,
    // awaited before its process is ended (and whose it is looked at again then).
    if (trouble && !state.window.restart.EndPictureBegun() && state.window.handle != 0) {
        state.window.restart.PictureBeforeEnd(journal_.BeginScreenshot(state.window.handle, record.name, L"ended", true));
        ContinueRestart(record, state);
        return;
    }
    std::wstring const shot = state.window.restart.ShotPath();
    state.window.restart.Clear();
    std::wstring const process = L"process " + std::to_wstring(state.window.processId);
    switch (platform_.processes.EndProcess(state.window.processId)) {
    case EndResult::Ended: {
        std::wstring const told = shot.empty() ? process : process + L", screenshot " + shot;
        journal_.Log(L"ended", record.name, told);
        state.window.endedUnanswered = true;
        // A daily restart and one asked for are planned: their end is no trouble.
        if (trouble) journal_.Trouble(TroubleKind::Ended, record.name, process, shot);
        break;
    }
    case EndResult::Gone: break;
    case EndResult::Denied: {
        state.window.plannedEnd = false;
        MovePhase(state, ProgramPhase::LeftAlone);
        std::wstring const message =
            record.name + (reason == RestartReason::Hung ? L" does not respond, and Vigilon may not end it."
                                                         : L" did not close when asked, and Vigilon may not end it.");
        journal_.Trouble(TroubleKind::NotEnded, record.name, message);
        journal_.Report(message, record.name);
        break;
    }
    }
}

void Supervisor::LeaveAlone(WatchedProgram const& record, ProgramState& state, std::wstring const& why) {
    // Its answers are still counted, so that the status shows a hung one as not responding.
    state.window.plannedEnd = false;
    state.window.restart.Clear();
    MovePhase(state, ProgramPhase::LeftAlone);
    std::wstring const message = record.name + L" is not ended: " + why + L".";
    journal_.Trouble(TroubleKind::NotEnded, record.name, message);
    journal_.Report(message, record.name);
}

std::wstring Supervisor::NotOwnProcessBecause(WatchedProgram const& record, ProgramState const& state) {
    std::uint32_t const id = state.window.processId;
    std::wstring const process = L"process " + std::to_wstring(id);
    bool const ownStart = id != 0 && id == state.startedProcessId && state.startedProcessAt != 0 &&
                          platform_.processes.ProcessStartTime(id) == state.startedProcessAt;
    if (!ownStart) return process + L" was not started by Vigilon";
    if (id == platform_.desktop.ShellProcessId()) return process + L" is the Windows shell";
    // Listed afresh: its image and its session as they are now.
    std::wstring const image = platform_.files.LongFullPath(record.exe);
    std::vector<ImageProcess> const running = platform_.processes.ProcessesOfImages(std::span(&image, 1));
    bool const itsImage = !record.exe.empty() && std::any_of(running.begin(), running.end(),
                                                              [id](ImageProcess const& p) { return p.processId == id; });
    if (!itsImage) return process + L" is not " + record.exe + L" in this session";
    // None of its windows may be another program's, even one Vigilon hid: ending it would end them.
    std::wstring holder;
    platform_.desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        if (platform_.desktop.WindowProcessId(window) == id) holder = HolderOf(window, record.name);
        return holder.empty();
    });
    if (!holder.empty()) return process + L" shows " + holder + L"'s window";
    return {};
}

std::wstring Supervisor::NotOwnBecause(WatchedProgram const& record, ProgramState const& state) {
    if (state.window.handle == 0 && state.window.processId != 0) return NotOwnProcessBecause(record, state);
    std::wstring const image = state.window.processId == 0 ? std::wstring() : platform_.processes.ProcessImagePath(state.window.processId);
    std::wstring const named = image.empty() ? std::wstring(L"a process Vigilon cannot name") : image;
    if (state.window.processId == 0) return L"its window belongs to " + named + L", not to " + record.exe;
    // Ending the shell would take the taskbar, the desktop and every folder window with it.
    if (state.window.processId == platform_.desktop.ShellProcessId()) return L"its window belongs to the Windows shell, " + named;
    // The process Vigilon started, if the id still names it and not a later process.
    if (state.window.processId == state.startedProcessId && state.startedProcessAt != 0 &&
        platform_.processes.ProcessStartTime(state.window.processId) == state.startedProcessAt) {
        return {};
    }
    if (image.empty() || record.exe.empty() ||
        ToUpperText(platform_.files.LongFullPath(image)) != ToUpperText(platform_.files.LongFullPath(record.exe))) {
        return L"its window belongs to " + named + L", not to " + record.exe;
    }
    // The program's executable by its path only: a browser in app mode or javaw.exe may run other
    // programs' windows in the same process.
    if (ShowsOtherWindows(record, state.window.processId, state.window.handle)) {
        return L"its process, " + image + L", shows other windows than " + record.name + L"'s";
    }
    return {};
}

bool Supervisor::ShowsOtherWindows(WatchedProgram const& record, std::uint32_t processId, WindowHandle held) {
    Desktop& desktop = platform_.desktop;
    std::optional<WindowMatch> const match =
        WindowMatchOf(record, [this](std::wstring_view path) { return platform_.files.LongFullPath(path); });
    // A text found anywhere in a caption, or at its end, fits the user's own windows of a browser
    // too ("Outlook - Search - Edge" for Contains "Outlook"): with those, only the held window is
    // the program's. With Start or Exact, a window that passes the whole match is the program's too.
    bool const whole = match && (match->captionKind == kMatchBeginsWith || match->captionKind == kMatchEquals);
    std::optional<std::wstring> image;  // read at the first window that needs it
    auto const isProgramsWindow = [&](WindowHandle window) {
        std::array<wchar_t, kCaptionBufferLength> buffer{};
        if (!CaptionFits(*match, ToUpperText(ReadCaption(desktop, window, buffer)))) return false;
        if (!match->windowClass.empty()) {
            std::array<wchar_t, kCaptionBufferLength + 1> name{};
            std::size_t const n = std::min(desktop.ReadWindowClass(window, name), name.size() - 1);
            if (ToUpperText(std::wstring_view(name.data(), n)) != match->windowClass) return false;
        }
        if (match->process.empty()) return true;
        if (!image) image = ToUpperText(platform_.files.LongFullPath(platform_.processes.ProcessImagePath(processId)));
        return ImageFits(*match, *image);
    };
    bool other = false;
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        if (window == held || desktop.WindowProcessId(window) != processId) return true;
        // Another watched program's window counts even hidden: Vigilon hides them itself.
        if (!HolderOf(window, record.name).empty()) {
            other = true;
            return false;
        }
        if (!desktop.IsVisible(window)) return true;
        other = !whole || !isProgramsWindow(window);
        return !other;
    });
    return other;
}

std::wstring Supervisor::HolderOf(WindowHandle window, std::wstring const& except) const {
    if (window == 0) return {};
    for (auto const& [name, state] : states_) {
        if (state.window.handle == window && name != except) return name;
    }
    return {};
}

void Supervisor::ClosedOnRequest(ProgramState& state) {
    // Kept until it goes, which may take a while (it saves its work, or asks the user to): its
    // going is then one Vigilon asked for, and no trouble.
    state.window.plannedEnd = true;
    state.window.answers.Clear();
    state.window.restart.Clear();
    if (state.phase == ProgramPhase::Restarting) MovePhase(state, ProgramPhase::Running);
}

bool Supervisor::RequestRestart(WatchedProgram const& record, ProgramState& state) {
    if (!state.window.Present()) return false;
    if (state.window.restart.Active()) return true;  // one under way already
    journal_.Log(L"restart", record.name, L"asked for");
    // Refused, a window left alone stays so, and is not asked about again.
    if (!BeginRestart(record, state, RestartReason::Requested)) return false;
    state.counts.Restarted(RestartCause::Asked);
    return true;
}

StatusState Supervisor::RowState(WatchedProgram const& record, ProgramState const* state, bool launchPaused,
                                 std::int64_t now) const {
    if (record.caption.empty() && !Windowless(record.rules)) return StatusState::NoCaption;
    if (state == nullptr) return launchPaused ? StatusState::Paused : StatusState::Starting;
    if (state->window.Present()) {
        // Restarting also once its process was ended, until the pass sees its window gone. A window
        // left alone, or spared, is not ended, but it may well be hung.
        bool const restarting = state->phase == ProgramPhase::Restarting;
        bool const hangRestart = restarting && state->window.restart.Active() && state->window.restart.Reason() == RestartReason::Hung;
        return !Responding(*state) || hangRestart ? StatusState::NotResponding
               : restarting                       ? StatusState::Restarting
                                                  : StatusState::Running;
    }
    if (state->phase == ProgramPhase::Closed || state->phase == ProgramPhase::Lingering) return StatusState::Closed;
    if (state->missingFile) return StatusState::MissingFile;
    if (state->phase == ProgramPhase::Starting) return StatusState::Starting;
    if (launchPaused) return StatusState::Paused;
    if (state->heldByItsProcess) return StatusState::Waiting;
    if (state->phase == ProgramPhase::BackingOff && !state->backoff.Allows(now)) return StatusState::Waiting;
    return StatusState::Starting;  // started at the next pass
}

ProgramStatus Supervisor::StatusOf(WatchedProgram const& record, ProgramState const* state, RowFacts const& facts) const {
    ProgramStatus row;
    row.name = record.name;
    row.windowless = Windowless(record.rules);
    row.state = RowState(record, state, facts.launchPaused, facts.now);
    if (state != nullptr && row.state != StatusState::NoCaption) {
        row.starts = state->starts;
        if (!state->lastEvent.word.empty()) row.lastEvent = ClockText(state->lastEvent.time) + L" " + state->lastEvent.word;
        if (state->window.Present()) {
            row.processId = state->window.processId;
            row.upSince = ClockText(state->window.foundTime);
        } else if (row.state == StatusState::Closed) {
            row.processId = state->lingeringProcessId;  // a process its window left running
        } else if (row.state == StatusState::Waiting && state->heldByItsProcess) {
            row.waitingFor = L"process " + std::to_wstring(state->startedProcessId) + L" to end";
            row.processId = state->startedProcessId;
        } else if (row.state == StatusState::Waiting) {
            row.nextStart = ClockText(AddMilliseconds(facts.local, state->backoff.NotBefore() - facts.now));
        }
        for (Rule const* rule : rules_) rule->Describe(row, *state, facts.launchPaused);
        DescribeEscalation(row, state->escalation, facts.now);
    }
    auto const notRunning = [&row](StatusState notRunningState) {
        row.state = notRunningState;
        row.processId = 0;
        row.upSince.clear();
        row.placement.clear();
    };
    // A window gone since the pass last looked (or while a pass waits for another program's
    // window in Box mode) is not running: the next pass starts the program again. Asked of the
    // desktop only for someone reading now, not for what the passes publish as they go.
    bool const windowThere = row.state == StatusState::Running || row.state == StatusState::Unhealthy;
    // Without a window, its process is asked whether it has ended: the process watch holds it.
    auto const gone = [&] {
        return state->window.handle != 0 ? platform_.desktop.WindowProcessId(state->window.handle) == 0
                                         : platform_.processes.ExitCode(state->window.processId).state == ProcessExit::State::Ended;
    };
    if (facts.confirmWindow && windowThere && gone()) {
        notRunning(facts.launchPaused ? StatusState::Paused : StatusState::Starting);
    }
    if (facts.stopped && row.state != StatusState::NoCaption) notRunning(StatusState::Stopped);
    // Paused, a program without its window is not started: its row says so.
    row.launchPaused = facts.launchPaused && (row.state == StatusState::Paused || row.state == StatusState::MissingFile);
    return row;
}

bool Supervisor::Healthy(ProgramState const& state) const {
    // A window spared keeps the trouble it was spared from (its memory, its silence) for now.
    return state.window.Present() && state.phase == ProgramPhase::Running &&
           !state.spared.Any(state.window.handle, clock_.Now()) && Responding(state) && !state.health.Failing();
}

bool Supervisor::Responding(ProgramState const& state) const {
    return hangSeconds_ <= 0 || !state.startup.Over(clock_.Now()) ||
           state.window.answers.Unanswered(clock_.Now()) < std::int64_t{hangSeconds_} * 1000;
}

void Supervisor::ClearBackoff() {
    for (auto& [name, state] : states_) {
        state.backoff.Clear();
        state.retryAt = 0;
        if (state.phase == ProgramPhase::BackingOff) MovePhase(state, ProgramPhase::Absent);
    }
}

void Supervisor::ReleaseClosed() {
    for (auto& [name, state] : states_) {
        if (state.phase != ProgramPhase::Closed && state.phase != ProgramPhase::Lingering) continue;
        MovePhase(state, ProgramPhase::Absent);
        state.lingeringProcessId = 0;
    }
}

void Supervisor::Answered(WindowHandle window, bool answered) {
    for (auto& [name, state] : states_) {
        if (state.window.handle != window || window == 0) continue;
        bool const last = state.window.restart.AwaitsAnswer();
        state.window.answers.Answered(answered);
        if (answered) state.startup.Answered();
        if (last) state.window.restart.Answered(answered);
    }
}

}  // namespace vigilon
