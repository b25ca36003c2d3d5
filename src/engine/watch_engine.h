#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/settings_check.h"
#include "app/watched_programs.h"
#include "engine/outputs/event_history.h"
#include "engine/outputs/metrics_file.h"
#include "engine/rules/placement_keeper.h"
#include "engine/outputs/alerts.h"
#include "engine/outputs/heartbeat.h"
#include "engine/display_sleep.h"
#include "engine/hidden_windows.h"
#include "engine/process_finder.h"
#include "engine/rules/health_rule.h"
#include "engine/rules/hours_rule.h"
#include "engine/rules/idle_rule.h"
#include "engine/outputs/program_status.h"
#include "engine/start_request.h"
#include "engine/outputs/status_snapshot.h"
#include "engine/rules/readiness.h"
#include "engine/escalation_keeper.h"
#include "engine/supervisor.h"
#include "engine/outputs/trouble_reporter.h"
#include "engine/outputs/trouble_screenshots.h"
#include "engine/watch_host.h"
#include "engine/window_finder.h"
#include "platform/platform.h"

namespace vigilon {

// How the watch pass reports a problem.
enum class NoticeMode : std::uint8_t {
    // A modal message box, and nothing else is watched until the user dismisses it. While a
    // started program's window is awaited, the pass waits for it and visits nothing else either.
    Box,
    // A tray notification; the pass goes on. Each program keeps its own sequence (start, up to a
    // minute's wait for its window, the notice when it does not come), advanced by each pass, so
    // one program's trouble never holds the others; a missing file is looked for again every
    // minute, and pauses nothing.
    Tray,
};

// Keeps the watched programs running: finds their windows, hides minimised ones, starts the
// missing ones, and shows, hides or closes them all on request. Every step a user may want to
// look back on goes into the event history.
//
// How it works: each pass looks up every program's window in the desktop's captions. A program
// whose window is missing is started, unless launching is paused. In Box mode the pass then waits
// for the new window, handling events meanwhile (passes never nest: a tick inside is dropped); in
// Tray mode the program is marked as awaited with a deadline, and later passes look for its
// window like any other. The processes behind the windows found are watched, so the host can run
// a pass the moment one ends.
class WatchEngine final : private SupervisionJournal, private MetricsJournal {
public:
    WatchEngine(Platform& platform, WatchHost& host, WatchedPrograms& programs, std::wstring programFolder);

    // One pass over the table. Does nothing when a pass is already running (a pass in Box mode
    // handles events while it waits, so a timer tick can arrive inside one).
    void WatchPrograms();

    // Hides every known window that is visible and shows and activates every hidden one; with
    // `forceShow`, shows and activates them all, and shows every other window Vigilon hid that is
    // still there.
    void ShowHidePrograms(bool forceShow);

    // Pauses launching and asks every known window to close; every window Vigilon hid that is
    // still there is shown, so that a question one asks before it closes can be answered.
    void ClosePrograms();

    // Ends the pause on launching and starts the watch timer. After a pause, each program's next
    // start waits for its StartDelay, StartAfter and WaitFor again.
    void ResumeLaunching();

    // Launch Programs: resumes launching, and starts again the programs Restart=Failure left closed
    // and those off outside their hours (a person's start: see HoursRule).
    void LaunchPrograms();

    // Starts the program of that name (case ignored) at the next pass, also one backing off or left
    // closed; a start asked for this way comes before every rule that holds a start back. Refused,
    // with the reason, when it could not happen: its file missing, or a notice holding the passes.
    StartReply StartProgram(std::wstring_view name);

    // Pauses launching, as Close Programs does, without closing anything.
    void PauseLaunching() { SetLaunchPaused(true); }

    // The displays changed or the session came back: every window with a place of its own is
    // put there again now, unless launching is paused.
    void PlaceWindowsAgain() { placements_.PlaceAgain(launchPaused_ || !host_.Watching()); }
    // Vigilon ends: each window it made full screen or topmost gets back its own frame and place.
    void LetGoOfWindows() { placements_.LetGoOfAll(); }
    // Vigilon's own windows are open, or all closed again: while they are, no window is put back
    // in its place over them (see PlacementKeeper::HoldBack).
    void SetOwnWindowsOpen(bool open) { placements_.HoldBack(open); }
    // DisplayOff=Hours: the displays sleep while no program with hours is inside them (see
    // DisplaySleep); turned off, they are woken at once (engine_displays.cpp).
    void SetDisplayOff(bool on);
    bool DisplaysAsleep() const { return displays_.Asleep(); }
    // A Vigilon dialog, notice or countdown is shown, or no longer: the one place that holds back
    // the idle restart (IdleRestart) while one is.
    void SetDialogShown(bool shown) { idle_.SetDialogShown(shown); }
    // True when a window is kept on top or full screen, so that Vigilon's own windows are shown
    // above it.
    bool KeepsWindowsOnTop() const { return placements_.AnyAbove(); }
    // Requests to place windows have ended: their outcomes are taken (also at each pass).
    void TakePlacementOutcomes() { placements_.TakeOutcomes(); }

    // Every program's row, in the table's order; while the editor has the passes stopped, every
    // watched program's row says so.
    std::vector<ProgramStatus> Status();
    // The rows for a window that shows them as they change: as Status, without asking the desktop
    // again for the windows the last pass found while the passes run on time.
    std::vector<ProgramStatus> StatusOnScreen();
    // The watching state of the moment, for the reports.
    WatchingState WatchingNow();
    // Every fact of the moment, for the status window, scripts and the metrics; the rows are as
    // Status gives them.
    StatusSnapshot Snapshot();

    // Vigilon's version, as the snapshot names it.
    void SetVersion(std::wstring version) { version_ = std::move(version); }
    // The metrics file (empty: none), written as the passes go: see MetricsFile.
    void SetMetricsFile(std::wstring path) { metrics_.SetPath(std::move(path)); }
    // The history says that the passes stopped or run again, and why. While they are stopped no
    // check is under way, and what the checks counted starts afresh.
    void WatchingStopped(std::wstring_view why) {
        Log(L"stopped", {}, why);
        health_.ForgetAll();
    }
    void WatchingResumed(std::wstring_view why) { Log(L"watching", {}, why); }

    // Restarts the program of that name (case ignored) the graceful way, as for a hung one. Not
    // while launching is paused: it would not be started again. A refusal is in the answer and
    // the history only, never in a message box: whoever asked is waiting for the answer.
    enum class RestartAnswer { Restarting, NotRunning, LaunchPaused, NotItsOwn, NoSuchProgram };
    RestartAnswer RestartProgram(std::wstring_view name);

    // The window the last pass found for the program named `name` (exactly), 0 for none. It stays
    // the program's until a pass sees it gone, also after Close Programs asked it to close.
    WindowHandle WindowOf(std::wstring const& name) const;

    // Shows and activates, or hides, the window of the program of that name. False when it has none.
    bool ShowProgram(std::wstring_view name, bool show);

    void SetNoticeMode(NoticeMode mode) {
        noticeMode_ = mode;
        supervisor_.SetTrayNotices(mode == NoticeMode::Tray);
    }

    // Back-off: a program whose window or process is gone within a minute of its start, or whose
    // window never came, is started again only after a delay, from 2 s doubling to 5 minutes; a run
    // of a minute or more, and ResumeLaunching, reset it.
    void SetBackoff(bool on) { supervisor_.SetBackoff(on); }

    // Hung programs: a watched window that leaves a question unanswered for `seconds` of passing
    // (0: never asked), once it has answered once or a minute has passed since it was found, is
    // asked to close, and its process is ended 10 s later only if it is still there, still does not
    // answer, and is the program's own.
    void SetHangSeconds(int seconds) { supervisor_.SetHangSeconds(seconds); }

    // Whether `window` answered the question the engine had the platform ask it.
    void WindowAnswered(WindowHandle window, bool answered) { supervisor_.Answered(window, answered); }
    NoticeMode Notices() const { return noticeMode_; }

    // Adds an event of the program's own (start, exit) to the history.
    void Record(std::wstring_view event, std::wstring_view details = {}) { Log(event, {}, details); }
    // Vigilon's start and end: the history, and the event log. The start line adds to `details` the
    // notice mode in force, how many problems the settings file has (when it has any), then the
    // `policies` in force (when any); each problem is then said.
    void RecordStart(std::wstring_view details, std::wstring_view policies = {});
    void RecordExit();
    // The problems of the settings file, named `fileName` ("vigilon.ini"): each one not said before
    // gets a `settings` line (after the start line, once Vigilon's start is recorded), and when one
    // is new a tray notice says how many there are and the first new one. A notice, never a box:
    // nobody may be there to close it, and watching goes on. They stay for the Status window and
    // scripts, and an `ignored` line that would say one of them again is left out.
    void SetSettingsProblems(std::wstring fileName, std::vector<SettingsProblem> problems);
    std::vector<SettingsProblem> const& SettingsProblems() const { return settingsProblems_; }
    std::wstring const& SettingsFileName() const { return settingsFileName_; }
    // Ends a command on trouble that has run too long and starts those waiting. Called every second,
    // also while no pass runs (the editor open, a message box waiting for OK).
    void TendCommands();

    // Someone away from the PC is told of trouble: in the Windows event log, and through the
    // user's command (empty: none).
    void SetEventLog(bool on) { reporter_.SetEventLog(on); }
    void SetTroubleCommand(std::wstring commandLine) { reporter_.SetCommand(std::move(commandLine)); }
    std::wstring const& HistoryPath() const { return history_.Path(); }

    // Screenshots=1: a picture of a window before it is closed or ended for a hang or its memory,
    // and when a hung one is left alone; its path goes into the history and the command.
    void SetScreenshots(bool on) { screenshots_.SetOn(on); }
    // A picture of the window of the program of that name (case ignored), asked for by a user
    // whatever SetScreenshots says. It is taken on a worker: when it was begun, SettledScreenshots
    // tells what came of it, within TroubleScreenshots::kLimit.
    struct AskedScreenshot {
        // NotTaken: its window is not there, or no folder; NoWindow: it shows none (Window=None).
        enum class Kind : std::uint8_t { Begun, NotTaken, NoWindow, NoSuchProgram };
        Kind kind = Kind::NoSuchProgram;
        std::uint32_t id = 0;  // when Begun
    };
    AskedScreenshot AskScreenshot(std::wstring_view name);
    // The pictures asked for that are done since the last call: each with its path (empty when none
    // was saved in time), which the history says too.
    struct SettledScreenshot {
        std::uint32_t id = 0;
        std::wstring program;
        std::wstring path;
    };
    std::vector<SettledScreenshot> SettledScreenshots();

    // The health check of the program of that name (case ignored), run now at a user's asking,
    // whatever state it is in; its result is only told, never counted towards a restart. It runs
    // off this thread: when it was begun, SettledChecks tells what came of it.
    struct AskedCheck {
        enum class Kind : std::uint8_t { Begun, NoCheck, NoSuchProgram };  // NoCheck: no usable Check=
        Kind kind = Kind::NoSuchProgram;
        std::uint32_t id = 0;  // when Begun
    };
    AskedCheck AskCheck(std::wstring_view name);
    // The checks asked for that have ended since the last call.
    struct SettledCheck {
        std::uint32_t id = 0;
        std::wstring program;
        bool works = false;
        std::wstring details;  // what was found, in the history's words ("HTTP 503 after 0.2 s")
    };
    std::vector<SettledCheck> SettledChecks();

    // A monitor away from the PC is told every `seconds` that all is well, or why not, by a
    // request of `url` (empty: none). See Heartbeat.
    void SetHeartbeat(std::wstring url, int seconds) { heartbeat_.Set(std::move(url), seconds); }

    // Alerts to a chat room or a push service (empty URL: none). See Alerts.
    void SetAlerts(std::wstring url, AlertFormat format, int afterSeconds, std::vector<std::wstring> kinds) {
        alerts_.Set(std::move(url), format, afterSeconds, std::move(kinds));
    }
    // /alert test: a test message posted at once, off this thread. SettledAlertTests tells what
    // came of it.
    struct AskedAlertTest {
        enum class Kind : std::uint8_t { Begun, Off, NotStarted };  // Off: no AlertUrl, or one refused
        Kind kind = Kind::Off;
        std::uint32_t id = 0;  // when Begun
        std::wstring site;     // AlertUrl's scheme and host
    };
    AskedAlertTest AskAlertTest() {
        if (!alerts_.On()) return {AskedAlertTest::Kind::Off, 0, {}};
        std::optional<std::uint32_t> const id = alerts_.BeginTest();
        return {id ? AskedAlertTest::Kind::Begun : AskedAlertTest::Kind::NotStarted, id.value_or(0), alerts_.Site()};
    }
    std::vector<AlertDelivery::SettledTest> SettledAlertTests() { return alerts_.SettledTests(); }
    std::wstring AlertSiteText() const { return alerts_.Site(); }

    bool LaunchPaused() const { return launchPaused_; }
    bool WatchBusy() const { return watchBusy_; }

    // The lockout, the notice and the scheduled restart of escalation (see EscalationKeeper).
    void SetEscalation(EscalationOptions const& options) { escalation_.Set(options); }
    // Cancels the countdown to a logoff, restart or shutdown; `by` names who. False when none runs.
    bool CancelEscalation(std::wstring_view by) { return escalation_.Cancel(by); }
    // The countdown's notice, while one is to be shown.
    std::optional<EscalationKeeper::Notice> EscalationNotice() { return escalation_.Showing(); }
    bool EscalationCountingDown() const { return escalation_.CountingDown(); }

private:
    // How a step ends: go on with the next program, or end the pass; Started only from Start.
    enum class Outcome { Next, StopPass, Started };
    // What holds the passes while a pass handles events: a notice's box, the wait for a started
    // program's window, or something else (Pass).
    enum class Hold : std::uint8_t { None, Notice, StartWait, Pass };
    // A pass that has lasted this long holds the passes, whatever it waits for.
    static constexpr std::int64_t kHeldAfterMilliseconds = 5'000;
    // What holds the passes now: a notice waiting for OK at once, anything else once the pass has
    // lasted kHeldAfterMilliseconds; None while no pass is under way, or Vigilon ends.
    Hold HeldBy();

    // How many times a pass starts over after edits of the list, at most.
    static constexpr int kStartsOver = 3;
    // One visit of the programs in the table; true when an edit of the list interrupted it.
    bool Pass();
    // True when the pass must stop: Vigilon ends, the passes were stopped, or the list was edited
    // since the pass began (a record or number taken before may be another program's now).
    bool Interrupted() const;
    Outcome WatchProgram(int number);
    // The pass's step for a program without a window (Window=None): found by its process.
    Outcome WatchWindowless(int number);
    // Starts the program, and in Box mode waits for its window; the program folder is current
    // again after.
    Outcome Launch(int number);
    // Prepares and starts the program (`record` is a copy: the shell may run the message loop):
    // Started when the shell started it.
    Outcome Start(WatchedProgram const& record);
    Outcome PrepareJarProgram(WatchedProgram const& record);
    // Waits for the window of the program named `name`, found by name at every try: the editor
    // may delete programs meanwhile, so the name is a copy. The wait ends early when the editor
    // stops the passes.
    Outcome WaitForWindow(std::wstring name);
    Outcome MissingFileStop(std::wstring const& message, std::wstring const& program);
    // The program's window did not come within the wait: said, with the windows the process
    // started shows instead, and a failed start as far as back-off goes.
    void WindowNeverCame(WatchedProgram const& record, ProgramState& state);
    // Every window Vigilon hid that no program holds any more is shown again.
    void ShowWindowsNoLongerHeld();
    // Reports a problem as the notice mode says, and records it: a tray notification, or in Box
    // mode a message box, shown by ShowNotices once the step is over and nothing is held.
    void Notify(std::wstring const& message, std::wstring_view program);
    // Shows the message boxes waiting, one after another; the pass waits for each. StopPass when
    // the pass was interrupted while one was open.
    Outcome ShowNotices();
    void Report(std::wstring const& message, std::wstring_view program) override { Notify(message, program); }
    // Shows the window as it was before it was hidden or minimised, and brings its program to the
    // front; the history says `shown`. `name` is a copy: the editor may change the table meanwhile.
    void ShowAndActivate(WindowHandle window, std::wstring const& name);
    // Hides a window the user minimised; the history says so once for each time it is hidden.
    void HideIfMinimised(WatchedProgram const& record, ProgramState& state);
    // Hides the window of the program `name`; the history says so when `say`.
    void Hide(WindowHandle window, std::wstring const& name, bool say = true);
    void SetLaunchPaused(bool paused);
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    void Log(std::wstring_view event, std::wstring_view program, std::wstring_view details = {}) override;
    void Trouble(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                 std::wstring_view screenshot) override {
        reporter_.Report(kind, program, details, screenshot);
    }
    std::uint32_t BeginScreenshot(WindowHandle window, std::wstring_view program, std::wstring_view event,
                                  bool hung) override {
        return screenshots_.On() ? screenshots_.Begin(window, program, event, hung) : 0;
    }
    std::optional<std::wstring> ScreenshotTaken(std::uint32_t id) override { return screenshots_.Take(id); }
    // A trouble end counted by the program's ladder, unless launching is paused (engine_escalation.cpp).
    void TroubleEnd(WatchedProgram const& record, ProgramState& state) override;
    void Notice(std::wstring const& text) override { host_.ShowNotice(text); }
    void MetricsFailed(std::wstring const& path) override;
    // The snapshot; with `confirmWindows`, a window the last pass found is asked for again.
    StatusSnapshot TakeSnapshot(bool confirmWindows);
    // Says the problems of the settings file not said yet.
    void SayNewSettingsProblems();
    // How a settings problem said is known again: its program (upper case), a tab, its text.
    static std::wstring SaidKey(std::wstring_view program, std::wstring_view text);
    // Passes run every second: one that has not ended for longer lags behind.
    static constexpr std::int64_t kPassesLagAfter = 1500;
    // Writes the metrics when they are due.
    void PublishMetrics();
    // Writes the metrics once more as Vigilon ends: nothing watched any more.
    void PublishLastMetrics();
    // What the metrics show that may change without a line in the history: whether watching runs,
    // and each program's state, process and memory.
    std::vector<std::uint64_t> QuietMetrics();
    // Watches the processes of the windows found, and forgets the programs no longer listed.
    void WatchProcessesFound();
    // Programs in trouble that have run long enough have recovered; commands on trouble move on.
    void TellRecoveries();
    // After a pass: the displays put to sleep or woken as the programs' hours say; while they
    // sleep no window is put back in its place (a display that sleeps may look gone).
    void DecideDisplays();
    void WakeDisplays(std::wstring_view why);
    // Hands the window the pass found to the program's state; another program that held it lets
    // go of it now.
    void Observe(WatchedProgram const& record, ProgramState& state, WindowHandle window);
    void EnterDirectory(std::wstring const& directory);
    // True while the pass may go on with program `number`: it is still listed, Vigilon is not
    // ending, and the user has not stopped the passes (the editor is open).
    bool Valid(int number) const { return number <= programs_.Count() && !host_.Ending() && host_.Watching(); }

    Platform& platform_;
    WatchHost& host_;
    WatchedPrograms& programs_;
    std::wstring programFolder_;
    EventHistory history_;
    bool historyFailureReported_ = false;
    NoticeMode noticeMode_ = NoticeMode::Box;
    Supervisor supervisor_{platform_, static_cast<SupervisionJournal&>(*this)};
    TroubleReporter reporter_{platform_, static_cast<SupervisionJournal&>(*this), supervisor_, history_.Path()};
    PlacementKeeper placements_{platform_.desktop, platform_.events, static_cast<SupervisionJournal&>(*this), supervisor_};
    MetricsFile metrics_{platform_.files, static_cast<MetricsJournal&>(*this)};
    std::uint64_t revision_ = 0;  // grows with every line of the history
    std::uint64_t metricsRevision_ = ~std::uint64_t{0};  // the revision the metrics were last made at
    std::vector<std::uint64_t> metricsQuiet_;
    std::wstring version_;
    std::wstring computer_;
    LocalTime startedAt_{};
    // Asked before readiness: a program outside its hours has no start to wait for.
    HoursRule hours_{platform_, static_cast<SupervisionJournal&>(*this), supervisor_, readiness_};
    Readiness readiness_{platform_, static_cast<SupervisionJournal&>(*this), programs_, supervisor_};
    // Held while the escalation's countdown runs (escalation_ is made later, asked only at passes).
    IdleRule idle_{platform_, supervisor_, [this] { return escalation_.CountingDown(); }};
    Heartbeat heartbeat_{platform_, static_cast<SupervisionJournal&>(*this)};
    // Reads the program's facts, as /status /json does, only as an alert is queued.
    Alerts alerts_{platform_, static_cast<SupervisionJournal&>(*this), [this](std::wstring const& program) {
                       return AlertFactsOf(program);
                   }};
    std::optional<ProgramFacts> AlertFactsOf(std::wstring const& program);
    // Launching paused (Close Programs, /pause) or the watch held by the editor: the programs'
    // troubles are someone's doing, and are not alerted.
    bool ProgramAlertsHeld() { return launchPaused_ || !host_.Watching(); }
    TroubleScreenshots screenshots_{platform_, history_.Path()};
    struct Asked {
        std::uint32_t id;
        std::wstring program;
    };
    std::vector<Asked> asked_;  // pictures asked for by a user, not yet done
    HiddenWindows hidden_{platform_.desktop, static_cast<SupervisionJournal&>(*this)};
    std::vector<SettingsProblem> settingsProblems_;
    std::wstring settingsFileName_;
    std::set<std::wstring> settingsSaid_;  // each problem said, by SaidKey
    bool startRecorded_ = false;
    bool launchPaused_ = false;
    bool watchBusy_ = false;
    std::int64_t passBegan_ = 0;      // monotonic: when the pass under way began
    Hold waitingOn_ = Hold::None;     // what the pass under way waits for while it handles events
    std::int64_t lastPassEnded_ = INT64_MIN / 2;  // monotonic milliseconds
    std::uint64_t passRevision_ = 0;     // the list's revision as the pass began
    std::vector<std::wstring> notices_;  // Box mode: the message boxes the step has left to show
    std::vector<std::uint32_t> watchedProcesses_;
    ProcessFinder processes_{platform_.processes, platform_.files, programs_};
    WindowFinder windows_{platform_.desktop, platform_.processes, platform_.files, platform_.events, programs_,
                          [this](std::wstring const& name) { return WindowOf(name); }};
    HealthRule health_{platform_, static_cast<SupervisionJournal&>(*this), supervisor_, programFolder_,
                       [this](std::uint32_t processId, WindowHandle except, std::wstring_view text) {
                           return windows_.ShownBy(processId, except, text);
                       }};
    DisplaySleep displays_{platform_.system, static_cast<SupervisionJournal&>(*this)};
    EscalationKeeper escalation_{platform_, static_cast<SupervisionJournal&>(*this), reporter_, supervisor_, heartbeat_};
};

}  // namespace vigilon
