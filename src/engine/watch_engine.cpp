#include "engine/watch_engine.h"

#include <utility>

#include "app/window_match.h"

namespace vigilon {

WatchEngine::WatchEngine(Platform& platform, WatchHost& host, WatchedPrograms& programs,
                         std::wstring programFolder)
    : platform_(platform),
      host_(host),
      programs_(programs),
      programFolder_(std::move(programFolder)),
      history_(platform.files, platform.events, programFolder_ + L"vigilon.log") {
    reporter_.SetObserver([this](TroubleKind kind, std::wstring_view program, std::wstring_view details,
                                 std::wstring_view screenshot) {
        alerts_.HoldPrograms(ProgramAlertsHeld());
        alerts_.Trouble(kind, program, details, screenshot);
    });
}

void WatchEngine::WatchPrograms() {
    if (watchBusy_) return;
    watchBusy_ = true;
    passBegan_ = Now();
    windows_.Stale();
    processes_.Stale();
    supervisor_.PassBegins();
    placements_.TakeOutcomes();
    // A pass that the user's edit of the list interrupted (a program added or deleted while a box
    // was open or a start was awaited) starts over on the list as it is now; a few times at most,
    // since each may show a box again: then the next tick's pass goes on.
    for (int starts = 0; Pass() && starts < kStartsOver && !host_.Ending() && host_.Watching(); ++starts) {
        // The processes started meanwhile are known to run before the pass looks again: no
        // second copy while one started runs on without its window.
        WatchProcessesFound();
    }
    if (!host_.Ending()) {
        WatchProcessesFound();
        ShowWindowsNoLongerHeld();
        TellRecoveries();
        DecideDisplays();
        PublishMetrics();
    }
    lastPassEnded_ = Now();
    watchBusy_ = false;
}

bool WatchEngine::Pass() {
    passRevision_ = programs_.Revision();
    // The bound is fixed at the start; programs added meanwhile wait for the next pass, and the
    // pass stops early when the editor has removed the programs it has yet to visit.
    int const count = programs_.Count();
    for (int i = 1; i <= count && Valid(i); ++i) {
        // The step's boxes are shown once it holds nothing of the program's, even when it stopped the pass.
        Outcome const outcome = WatchProgram(i);
        if (ShowNotices() == Outcome::StopPass || outcome == Outcome::StopPass || Interrupted()) break;
    }
    return programs_.Revision() != passRevision_;
}

bool WatchEngine::Interrupted() const {
    return host_.Ending() || !host_.Watching() || programs_.Revision() != passRevision_;
}

WatchEngine::Outcome WatchEngine::WatchProgram(int number) {
    // Held only while nothing here can run the message loop (boxes wait in ShowNotices); a launch
    // takes its own copy.
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    if (Windowless(record.rules)) return WatchWindowless(number);
    // Every caption begins with the empty text: a program without a caption would claim some
    // other program's window, to hide or close it. It is left unwatched until it has one, and so is
    // one whose Process, Class or CaptionMatch cannot be used (the check of the settings says
    // which), since without it its window could be a stranger's.
    if (record.caption.empty() || !MatchKeysUsable(record.rules)) {
        supervisor_.Unwatch(state);
        return Outcome::Next;
    }
    WindowHandle window = windows_.Find(record);
    // About to start it, or to take its window for gone: a fresh look at every caption decides,
    // unless one was just taken (a window retitled into its caption may be read as it was).
    if (window == 0 && !launchPaused_ && (state.window.Present() || supervisor_.StartDue(state)) &&
        !windows_.Fresh() && !supervisor_.HeldByItsProcess(record, state)) {
        window = windows_.FindAfresh(record);
    }
    Observe(record, state, window);
    // A window kept on screen is put back in its place rather than hidden when minimised.
    if (window != 0 && !placements_.Keep(record, window, launchPaused_)) HideIfMinimised(record, state);
    supervisor_.Supervise(record, state, launchPaused_);
    if (supervisor_.HoldsStart(record, state, launchPaused_)) return Outcome::Next;
    if (window != 0) return Outcome::Next;
    if (state.phase == ProgramPhase::Starting) {
        if (!supervisor_.WaitIsOver(state)) return Outcome::Next;
        // The next pass starts it again, or backs off, or waits while the process started runs on.
        WindowNeverCame(record, state);
        return Outcome::Next;
    }
    if (launchPaused_ || !supervisor_.StartDue(state) || supervisor_.HeldByItsProcess(record, state)) {
        return Outcome::Next;
    }
    return Launch(number);
}

void WatchEngine::HideIfMinimised(WatchedProgram const& record, ProgramState& state) {
    Desktop& desktop = platform_.desktop;
    // Visibility first: a watched window is usually hidden, and each question is a round trip.
    if (!desktop.IsVisible(state.window.handle) || !desktop.IsMinimised(state.window.handle)) {
        state.window.hiddenNoted = false;  // hidden indeed, or shown: the next minimise is a new hiding
        return;
    }
    // A window that does not hide (its program has hung) is tried at every pass, and said once.
    Hide(state.window.handle, record.name, !std::exchange(state.window.hiddenNoted, true));
}

void WatchEngine::Hide(WindowHandle window, std::wstring const& name, bool say) {
    platform_.desktop.ShowWindowAs(window, kSwHide);
    hidden_.Hid(window, name);
    if (say) Log(L"hidden", name);
}

void WatchEngine::Observe(WatchedProgram const& record, ProgramState& state, WindowHandle window) {
    WindowHandle const before = state.window.handle;
    supervisor_.Observe(record, state, window);
    if (window == 0 || window == before) return;
    // One window, one program: one that held it looks for a window of its own again at once, since
    // the pass may stop before it comes to it.
    std::wstring const other = supervisor_.HolderOf(window, record.name);
    int const number = other.empty() ? 0 : programs_.Find(other);
    if (number == 0) return;
    WatchedProgram const& loser = programs_[number];
    supervisor_.Observe(loser, supervisor_.StateOf(other), windows_.FindAfresh(loser));
}

void WatchEngine::WatchProcessesFound() {
    auto const listed = [this](std::wstring const& name) { return programs_.Find(name) != 0; };
    supervisor_.ForgetUnlisted(static_cast<std::size_t>(programs_.Count()), listed);
    alerts_.ForgetUnlisted(listed);
    std::vector<std::uint32_t> processes = supervisor_.ProcessesFound();
    if (processes == watchedProcesses_) return;
    watchedProcesses_ = std::move(processes);
    platform_.processes.WatchProcesses(watchedProcesses_);
}

void WatchEngine::ShowWindowsNoLongerHeld() {
    auto const holder = [this](WindowHandle window, std::wstring const& hiddenFor) {
        return WindowOf(hiddenFor) == window ? hiddenFor : supervisor_.HolderOf(window);
    };
    auto const watched = [this](std::wstring const& name) {
        int const number = programs_.Find(name);
        return number != 0 && !programs_[number].caption.empty();
    };
    hidden_.ShowUnheld(holder, watched);
}

void WatchEngine::TellRecoveries() {
    for (int i = 1; i <= programs_.Count(); ++i) {
        ProgramState const* state = supervisor_.Find(programs_[i].name);
        if (state == nullptr || !supervisor_.Healthy(*state)) continue;
        reporter_.Running(programs_[i].name, state->window.foundAt);
        alerts_.Running(programs_[i].name);
    }
    reporter_.Pass();
}

void WatchEngine::TendCommands() {
    reporter_.Pass();
    screenshots_.Expire();
    // A pass under way when this runs is waiting while events are handled: its time counts, and
    // windows are still asked whether they answer.
    if (watchBusy_ && host_.Watching() && !host_.Ending()) supervisor_.WhileHeld(launchPaused_);
    // Also while no pass runs: the file then says that watching has stopped, and stays fresh.
    if (!host_.Ending()) PublishMetrics();
    if (!host_.Ending()) escalation_.Tick(launchPaused_);
    heartbeat_.Tick([this] {
        StatusSnapshot const snapshot = Snapshot();
        HeartbeatFacts facts = HeartbeatFactsFrom(snapshot.Rows(), snapshot.watching);
        escalation_.Explain(facts);
        return facts;
    });
    alerts_.HoldPrograms(ProgramAlertsHeld());
    alerts_.Tick();
}

WatchEngine::Hold WatchEngine::HeldBy() {
    if (!watchBusy_ || host_.Ending()) return Hold::None;
    if (waitingOn_ == Hold::Notice) return Hold::Notice;
    if (Now() - passBegan_ < kHeldAfterMilliseconds) return Hold::None;
    return waitingOn_ == Hold::None ? Hold::Pass : waitingOn_;
}

WatchingState WatchEngine::WatchingNow() {
    // With the editor open no pass runs: what was last seen may be long gone.
    if (!host_.Watching() && !host_.Ending()) return WatchingState::Stopped;
    switch (HeldBy()) {
    case Hold::Notice: return WatchingState::HeldByNotice;
    case Hold::StartWait: return WatchingState::HeldByStart;
    case Hold::Pass: return WatchingState::HeldByPass;
    case Hold::None: break;
    }
    return launchPaused_ ? WatchingState::Paused : WatchingState::Watching;
}

WindowHandle WatchEngine::WindowOf(std::wstring const& name) const {
    ProgramState const* state = supervisor_.Find(name);
    return state == nullptr ? 0 : state->window.handle;
}

}  // namespace vigilon
