#include "engine/watch_engine.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <utility>

#include "engine/jar_program.h"
#include "engine/launch_text.h"
#include "engine/missing_file.h"
#include "engine/wait_seconds.h"
#include "support/application_title.h"
#include "support/file_utils.h"
#include "support/folders.h"
#include "support/local_time.h"
#include "support/message.h"
#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

constexpr int kWindowTries = 61;
// Reading every caption costs a round trip per window under Wine: done for a missing program at
// most this often, so every other one-second pass.
constexpr std::int64_t kFullReadingInterval = 1500;
constexpr std::int32_t kLaunchSucceeded = 32;  // the shell's results above this mean success

// While it lives, the programs this process starts inherit an error mode that shows no crash
// dialog: a crash then ends the program at once. The mode is the process's own, so it is set
// just around the start, and the one before is put back.
class NoCrashDialog {
public:
    NoCrashDialog(SystemServices& system, bool on) : system_(system), on_(on) {
        if (!on_) return;
        previous_ = system_.SetProcessErrorMode(kSemNoGpFaultErrorBox);
        system_.SetProcessErrorMode(previous_ | kSemNoGpFaultErrorBox);  // keeps the flags already set
    }
    NoCrashDialog(NoCrashDialog const&) = delete;
    NoCrashDialog& operator=(NoCrashDialog const&) = delete;
    ~NoCrashDialog() {
        if (on_) system_.SetProcessErrorMode(previous_);
    }

private:
    SystemServices& system_;
    bool on_;
    std::uint32_t previous_ = 0;
};

// Names what the pass waits for while it lives; what was named before comes back after.
template <typename Hold>
class WaitingOn {
public:
    WaitingOn(Hold& slot, Hold what) : slot_(slot), before_(std::exchange(slot, what)) {}
    WaitingOn(WaitingOn const&) = delete;
    WaitingOn& operator=(WaitingOn const&) = delete;
    ~WaitingOn() { slot_ = before_; }

private:
    Hold& slot_;
    Hold before_;
};

}  // namespace

WatchEngine::WatchEngine(Platform& platform, WatchHost& host, WatchedPrograms& programs,
                         std::wstring programFolder)
    : platform_(platform),
      host_(host),
      programs_(programs),
      programFolder_(std::move(programFolder)),
      history_(platform.files, platform.events, programFolder_ + L"vigilon.log") {}

void WatchEngine::WatchPrograms() {
    if (watchBusy_) return;
    watchBusy_ = true;
    passBegan_ = Now();
    captionsState_ = Captions::Stale;
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
    // Every caption begins with the empty text: a program without a caption would claim some
    // other program's window, to hide or close it. It is left unwatched until it has one.
    if (record.caption.empty()) {
        supervisor_.Unwatch(state);
        return Outcome::Next;
    }
    WindowHandle window = FindInPass(record);
    // About to start it, or to take its window for gone: a fresh look at every caption decides,
    // unless one was just taken (a window retitled into its caption may be read as it was).
    if (window == 0 && !launchPaused_ && (state.window != 0 || supervisor_.StartDue(state)) &&
        captionsState_ != Captions::Fresh && !supervisor_.HeldByItsProcess(record, state)) {
        window = FindProgramWindow(record);
    }
    Observe(record, state, window);
    // A window kept on screen is put back in its place rather than hidden when minimised.
    if (window != 0 && !placements_.Keep(record, window, launchPaused_)) HideIfMinimised(record, state);
    supervisor_.Supervise(record, state, launchPaused_);
    if (readiness_.Holds(record, state, launchPaused_)) return Outcome::Next;
    if (window != 0) return Outcome::Next;
    if (state.phase == ProgramPhase::Starting) {
        if (!supervisor_.WaitIsOver(state)) return Outcome::Next;
        Notify(NotFoundMessage(record, state), record.name);
        // The next pass starts it again, or backs off, or waits while the process started runs on.
        supervisor_.WindowNeverCame(record, state);
        return Outcome::Next;
    }
    if (launchPaused_ || !supervisor_.StartDue(state) || supervisor_.HeldByItsProcess(record, state)) {
        return Outcome::Next;
    }
    return Launch(number);
}

std::wstring WatchEngine::NotFoundMessage(WatchedProgram const& record, ProgramState const& state) {
    std::wstring const message = L"Could not find Window with Caption: " + record.caption;
    std::optional<std::vector<std::wstring>> const windows = supervisor_.StartedProcessWindows(state);
    if (!windows) return message;
    if (windows->empty()) return message + L"; its process shows no window";
    return message + L"; its windows: " + CaptionList(*windows);
}

void WatchEngine::HideIfMinimised(WatchedProgram const& record, ProgramState& state) {
    Desktop& desktop = platform_.desktop;
    // Visibility first: a watched window is usually hidden, and each question is a round trip.
    if (!desktop.IsVisible(state.window)) {
        state.hiddenNoted = false;  // hidden indeed: the next minimise is a new hiding
        return;
    }
    if (!desktop.IsMinimised(state.window)) {
        state.hiddenNoted = false;
        return;
    }
    desktop.ShowWindowAs(state.window, kSwHide);
    hidden_.Hid(state.window, record.name);
    // A window that does not hide (its program has hung) is tried at every pass, and said once.
    if (state.hiddenNoted) return;
    state.hiddenNoted = true;
    Log(L"hidden", record.name);
}

WatchEngine::Outcome WatchEngine::Launch(int number) {
    // A launch processes events and windows come and go meanwhile: the programs after this one
    // are looked up in a new reading of the desktop.
    captionsState_ = Captions::Stale;
    // The jar program's folders become its files' paths in the table too, as the editor shows them.
    if (IsJarProgram(programs_[number])) CompleteJarPaths(programs_[number]);
    // A copy: starting runs the message loop, and the user may edit the list meanwhile.
    WatchedProgram const record = programs_[number];
    Outcome outcome = Start(record);
    if (outcome == Outcome::Started) {
        outcome = noticeMode_ == NoticeMode::Box ? WaitForWindow(record.name) : Outcome::Next;
    }
    // Every way out of a launch, an abandoned one included, leaves the program folder current:
    // a later program with a bare file name is looked for there.
    ChangeDirectory(platform_.files, programFolder_);
    if (outcome == Outcome::StopPass || host_.Ending()) return Outcome::StopPass;
    if (noticeMode_ == NoticeMode::Tray) return Outcome::Next;  // nothing was waited for
    bool const goOn = platform_.events.ProcessPendingEvents();
    captionsState_ = Captions::Stale;  // the desktop has moved on during the wait and its events
    return goOn ? Outcome::Next : Outcome::StopPass;
}

WatchEngine::Outcome WatchEngine::Start(WatchedProgram const& record) {
    if (IsJarProgram(record) && PrepareJarProgram(record) == Outcome::StopPass) return Outcome::StopPass;
    if (Interrupted()) return Outcome::StopPass;
    if (!FileExists(platform_.files, record.exe)) {
        return MissingFileStop(MissingExecutableMessage(record.exe), record.name);
    }
    std::wstring const parameters = LaunchParameters(record.prefix, record.command, record.postfix);
    EnterDirectory(StartsInJarFolder(record) ? DirectoryOf(record.command) : DirectoryOf(record.exe));
    std::wstring const file = L"\"" + record.exe + L"\"";
    ExecuteResult result;
    {
        NoCrashDialog const quiet(platform_.system, ParseCrashDialog(record.rules.crashDialog).value == false);
        result = platform_.shell.Execute(host_.MainWindow(), L"open", file, parameters,
                                         platform_.files.WorkingDirectory(), StartShowCommand(record.rules));
    }
    // The shell may have run the message loop: the table's record is looked up again by name.
    if (int const listed = programs_.Find(record.name); listed != 0) programs_[listed].launchResult = result.code;
    if (result.code <= kLaunchSucceeded) {
        // Said once until a start succeeds; tried again as back-off allows.
        if (!supervisor_.StartRefused(record, supervisor_.StateOf(record.name))) return Outcome::Next;
        std::wstring const message = L"Error launching: " + file + parameters;
        reporter_.Report(TroubleKind::LaunchFailed, record.name, message);
        Notify(message, record.name);
        return Outcome::Next;
    }
    Log(L"launch", record.name, file + parameters);
    supervisor_.Started(supervisor_.StateOf(record.name), result);
    return Outcome::Started;
}

WatchEngine::Outcome WatchEngine::PrepareJarProgram(WatchedProgram const& record) {
    if (!FileExists(platform_.files, record.command)) {
        return MissingFileStop(MissingJarMessage(record.command), record.name);
    }
    EnterDirectory(DirectoryOf(record.command));
    std::wstring const markerFolder =
        record.postfix.empty() ? GetSpecialFolderPath(platform_.shell, kCsidlProfile) : record.postfix;
    std::wstring const marker = AddBackslash(markerFolder) + kMarkerFileName;
    if (FileExists(platform_.files, marker) && !platform_.files.RemoveFile(marker)) {
        // A marker left behind may keep the program from starting, but starting it anyway is
        // the better bet; the user learns why if it does not come up.
        Notify(L"Marker file: " + marker + L" could not be deleted.", record.name);
        return ShowNotices();
    }
    return Outcome::Next;
}

WatchEngine::Outcome WatchEngine::WaitForWindow(std::wstring const name) {
    WaitingOn<Hold> const waiting(waitingOn_, Hold::StartWait);
    for (int tries = 1; tries <= kWindowTries; ++tries) {
        if (!WaitSeconds(platform_.events, 1)) return Outcome::StopPass;
        int const number = programs_.Find(name);
        // Deleted, or the editor opened: later passes look for the window without waiting.
        if (number == 0 || !Valid(number)) return Outcome::StopPass;
        WatchedProgram const& record = programs_[number];
        captionsState_ = Captions::Stale;  // a second of events has passed
        WindowHandle const window = FindInPass(record);
        if (window != 0) {
            Observe(record, supervisor_.StateOf(name), window);
            placements_.Keep(record, window, launchPaused_);
            return Outcome::Next;
        }
    }
    int const number = programs_.Find(name);
    if (number == 0) return Outcome::StopPass;
    WatchedProgram const& record = programs_[number];
    Notify(NotFoundMessage(record, supervisor_.StateOf(name)), name);
    supervisor_.WindowNeverCame(record, supervisor_.StateOf(name));
    return Outcome::Next;
}

WatchEngine::Outcome WatchEngine::MissingFileStop(std::wstring const& message, std::wstring const& program) {
    ProgramState& state = supervisor_.StateOf(program);
    if (noticeMode_ == NoticeMode::Tray) {
        // One bad entry stops no other program: this one is looked for again every minute, and
        // said once until it starts.
        bool const said = std::exchange(state.missingFile, true);
        state.retryAt = Now() + Supervisor::kRetryMilliseconds;
        if (said) return Outcome::Next;
        reporter_.Report(TroubleKind::MissingFile, program, message);
        Notify(message, program);
        return Outcome::Next;
    }
    state.missingFile = true;
    reporter_.Report(TroubleKind::MissingFile, program, message);
    Notify(message, program);
    if (ShowNotices() == Outcome::StopPass) return Outcome::StopPass;
    SetLaunchPaused(true);
    host_.ShowMainWindow();
    return Outcome::StopPass;
}

void WatchEngine::Notify(std::wstring const& message, std::wstring_view program) {
    Log(L"message", program, message);
    if (noticeMode_ == NoticeMode::Tray) {
        host_.ShowNotice(message);
        return;
    }
    notices_.push_back(message);
}

WatchEngine::Outcome WatchEngine::ShowNotices() {
    while (!notices_.empty()) {
        std::wstring const message = std::move(notices_.front());
        notices_.erase(notices_.begin());
        {
            WaitingOn<Hold> const waiting(waitingOn_, Hold::Notice);
            ShowMessage(platform_.system, message, kMbIconExclamation, kApplicationTitle);
        }
        captionsState_ = Captions::Stale;  // windows came and went while the box was open
        if (Interrupted()) {
            notices_.clear();  // the history has them; the pass that would have shown them is over
            return Outcome::StopPass;
        }
    }
    return Outcome::Next;
}

void WatchEngine::SetLaunchPaused(bool paused) {
    if (paused == launchPaused_) return;
    launchPaused_ = paused;
    Log(paused ? L"paused" : L"resumed", {});
    host_.LaunchPausedChanged(paused);
}

void WatchEngine::Log(std::wstring_view event, std::wstring_view program, std::wstring_view details) {
    // A value the settings check named already is not said again as a pass meets it.
    if (event == L"ignored" && settingsSaid_.contains(SaidKey(program, details))) return;
    ++revision_;
    if (!program.empty()) {
        ProgramState& state = supervisor_.StateOf(std::wstring(program));
        state.lastEventTime = platform_.events.LocalTimeNow();
        state.lastEvent = ClockText(state.lastEventTime) + L" " + std::wstring(event);
        state.lastEventWord = event;
        state.lastEventDetails = details;
    }
    if (history_.Record(event, program, details) || historyFailureReported_) return;
    // Said once, without holding anything up; later lines are tried quietly.
    historyFailureReported_ = true;
    host_.ShowNotice(L"The event history could not be written to " + history_.Path() + L".");
    reporter_.Report(TroubleKind::HistoryUnwritable, {}, history_.Path());
}

void WatchEngine::TellRecoveries() {
    for (int i = 1; i <= programs_.Count(); ++i) {
        ProgramState const* state = supervisor_.Find(programs_[i].name);
        if (state != nullptr && supervisor_.Healthy(*state)) reporter_.Running(programs_[i].name, state->foundAt);
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
    heartbeat_.Tick([this] {
        StatusSnapshot const snapshot = Snapshot();
        return HeartbeatFactsFrom(snapshot.Rows(), snapshot.watching);
    });
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

void WatchEngine::RecordStart(std::wstring_view details, std::wstring_view policies) {
    startedAt_ = platform_.events.LocalTimeNow();
    computer_ = platform_.system.ComputerName();
    std::wstring line = std::wstring(details) + L", notices " + (noticeMode_ == NoticeMode::Tray ? L"Tray" : L"Box");
    if (!settingsProblems_.empty()) line += L", " + ProblemCount(settingsProblems_.size(), settingsFileName_);
    if (!policies.empty()) line += L", policies " + std::wstring(policies);
    Log(L"start", {}, line);
    reporter_.Report(TroubleKind::Started, {}, line);
    startRecorded_ = true;
    SayNewSettingsProblems();
}

void WatchEngine::RecordExit() {
    PublishLastMetrics();  // before the last line, which says that Vigilon ends
    Log(L"exit", {});
    reporter_.Report(TroubleKind::Exited, {}, {});
}

void WatchEngine::WatchProcessesFound() {
    auto const listed = [this](std::wstring const& name) { return programs_.Find(name) != 0; };
    supervisor_.ForgetUnlisted(static_cast<std::size_t>(programs_.Count()), listed);
    placements_.ForgetUnlisted(listed);
    std::vector<std::uint32_t> processes = supervisor_.ProcessesFound();
    if (processes == watchedProcesses_) return;
    watchedProcesses_ = std::move(processes);
    platform_.processes.WatchProcesses(watchedProcesses_);
}

void WatchEngine::Observe(WatchedProgram const& record, ProgramState& state, WindowHandle window) {
    WindowHandle const before = state.window;
    supervisor_.Observe(record, state, window);
    if (window == 0 || window == before) return;
    // One window, one program: one that held it looks for a window of its own again at once, since
    // the pass may stop before it comes to it.
    std::wstring const other = supervisor_.HolderOf(window, record.name);
    int const number = other.empty() ? 0 : programs_.Find(other);
    if (number == 0) return;
    WatchedProgram const& loser = programs_[number];
    supervisor_.Observe(loser, supervisor_.StateOf(other), FindProgramWindow(loser));
}

WindowHandle WatchEngine::FindInPass(WatchedProgram const& record) {
    if (captionsState_ == Captions::Stale) {
        captions_.Update(platform_.desktop);
        claims_.Update(programs_);
        captionsState_ = Captions::Current;
    }
    WindowHandle const window = Confirmed(FindCached(record), record);
    // Not among the captions as last read: a window may have taken the caption since, and not
    // every system reports a retitle. Every caption is read afresh, at most every other second,
    // so a missing program finds a window retitled into a match within a tick or two.
    if (window == 0 && captionsState_ != Captions::Fresh &&
        Now() - lastFullReading_ >= kFullReadingInterval) {
        return FindProgramWindow(record);
    }
    return window;
}

WindowHandle WatchEngine::Confirmed(WindowHandle window, WatchedProgram const& record) {
    if (window == 0) return 0;
    if (StillMatches(record, window)) return window;
    // Closed or retitled since its caption was read, or now another program's.
    return FindProgramWindow(record);
}

bool WatchEngine::StillMatches(WatchedProgram const& record, WindowHandle window) {
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    std::wstring const caption = ToUpperText(ReadCaption(platform_.desktop, window, buffer));
    return CaptionMatches(caption, ToUpperText(record.caption), kMatchBeginsWith) &&
           claims_.MayTake(record.name, window, caption);
}

WindowHandle WatchEngine::FindProgramWindow(WatchedProgram const& record) {
    captions_.Refresh(platform_.desktop);
    captionsState_ = Captions::Fresh;
    lastFullReading_ = Now();
    return FindCached(record);
}

WindowHandle WatchEngine::FindCached(WatchedProgram const& record) const {
    return captions_.Find(record.caption, kMatchBeginsWith, false, [&](WindowHandle window, std::wstring_view caption) {
        return claims_.MayTake(record.name, window, caption);
    });
}

void WatchEngine::EnterDirectory(std::wstring const& directory) {
    // A bare file name has no folder to enter: the current directory stays as it is.
    if (!directory.empty()) ChangeDirectory(platform_.files, directory);
}

void WatchEngine::ShowHidePrograms(bool forceShow) {
    // The windows first: showing one processes events, and the user may edit the list meanwhile.
    std::vector<std::pair<WindowHandle, std::wstring>> windows;
    for (int i = 1; i <= programs_.Count(); ++i) {
        WindowHandle const window = WindowOf(programs_[i].name);
        // A window kept on screen is not the tray's to hide, nor to restore out of its state.
        if (window != 0 && !PlacementKeeper::KeepsShown(programs_[i])) windows.emplace_back(window, programs_[i].name);
    }
    Desktop& desktop = platform_.desktop;
    for (auto const& [window, name] : windows) {
        if (desktop.IsVisible(window) && !forceShow) {
            desktop.ShowWindowAs(window, kSwHide);
            hidden_.Hid(window, name);
            Log(L"hidden", name);
            continue;
        }
        ShowAndActivate(window, name);
    }
    // Also the windows hidden for programs that have lost them since the last pass.
    if (forceShow) hidden_.ShowAll(L"nothing Vigilon hid is left hidden");
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

void WatchEngine::ShowAndActivate(WindowHandle window, std::wstring const& name) {
    Desktop& desktop = platform_.desktop;
    desktop.ShowWindowAs(window, kSwShowNormal);
    hidden_.Shown(window);
    Log(L"shown", name);
    platform_.events.ProcessPendingEvents();
    std::uint32_t const processId = desktop.WindowProcessId(window);
    if (processId != 0) desktop.ActivateProcess(processId);  // a failure changes nothing
}

void WatchEngine::ClosePrograms() {
    SetLaunchPaused(true);
    for (int i = 1; i <= programs_.Count(); ++i) {
        WindowHandle const window = WindowOf(programs_[i].name);
        if (window == 0) continue;
        std::wstring const name = programs_[i].name;
        Log(L"close", name);
        // Marked first: its going is asked for, not news, however long it takes. The next pass
        // finds the window again while it is still open.
        supervisor_.ClosedOnRequest(supervisor_.StateOf(name));
        platform_.desktop.RequestClose(window);
    }
    // One that asks something before it closes must be seen; one that closes at once has gone
    // before it would show, since a close request is handled before a show.
    hidden_.ShowAll(L"Close Programs leaves nothing hidden");
}

void WatchEngine::PauseLaunching() { SetLaunchPaused(true); }

WindowHandle WatchEngine::WindowOf(std::wstring const& name) const {
    ProgramState const* state = supervisor_.Find(name);
    return state == nullptr ? 0 : state->window;
}

WatchEngine::RestartAnswer WatchEngine::RestartProgram(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return RestartAnswer::NoSuchProgram;
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    // A window gone since the last pass is not restarted: its going was not asked for; nor one
    // retitled since, which may be another program's now.
    if (record.caption.empty() || state.window == 0 || platform_.desktop.WindowProcessId(state.window) == 0 ||
        !StillMatches(record, state.window)) {
        return RestartAnswer::NotRunning;
    }
    if (launchPaused_) return RestartAnswer::LaunchPaused;
    return supervisor_.RequestRestart(record, state) ? RestartAnswer::Restarting : RestartAnswer::NotItsOwn;
}

bool WatchEngine::ShowProgram(std::wstring_view name, bool show) {
    int const number = programs_.FindByName(name);
    if (number == 0) return false;
    WindowHandle const window = WindowOf(programs_[number].name);
    if (window == 0) return false;
    std::wstring const program = programs_[number].name;
    if (show) {
        ShowAndActivate(window, program);
    } else {
        platform_.desktop.ShowWindowAs(window, kSwHide);
        hidden_.Hid(window, program);
        Log(L"hidden", program);
    }
    return true;
}

StartReply WatchEngine::StartProgram(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return {StartAnswer::NoSuchProgram};
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    bool const windowThere = state.window != 0 && platform_.desktop.WindowProcessId(state.window) != 0;
    // The file is looked for as the pass would, so that a start that would stop on it is refused
    // now, with the pass's own words, rather than said to go ahead.
    auto const missing = [&] { return MissingFileOf(record, platform_.files, programFolder_); };
    return AskToStart(record, state, {launchPaused_, host_.Watching(), windowThere, HeldBy() == Hold::Notice, missing});
}

void WatchEngine::LaunchPrograms() {
    supervisor_.ReleaseClosed();
    ResumeLaunching();
}

void WatchEngine::ResumeLaunching() {
    if (launchPaused_) readiness_.Arm();
    supervisor_.ClearBackoff();
    SetLaunchPaused(false);
    host_.EnableTimer();
}

}  // namespace vigilon
