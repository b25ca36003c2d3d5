#include "engine/watch_engine.h"

#include <utility>

#include "engine/jar_program.h"
#include "engine/launch_text.h"
#include "engine/missing_file.h"
#include "engine/wait_seconds.h"
#include "engine/waiting_on.h"
#include "support/file_utils.h"
#include "support/folders.h"
#include "support/window_search.h"

namespace vigilon {

namespace {

constexpr int kWindowTries = 61;
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

}  // namespace

WatchEngine::Outcome WatchEngine::Launch(int number) {
    // A launch processes events and windows come and go meanwhile: the programs after this one
    // are looked up in a new reading of the desktop.
    windows_.Stale();
    // The jar program's folders become its files' paths in the table too, as the editor shows them.
    if (IsJarProgram(programs_[number])) CompleteJarPaths(programs_[number]);
    // A copy: starting runs the message loop, and the user may edit the list meanwhile.
    WatchedProgram const record = programs_[number];
    Outcome outcome = Start(record);
    if (outcome == Outcome::Started) {
        // A program without a window has none to wait for: the next pass finds its process.
        outcome = noticeMode_ == NoticeMode::Box && !Windowless(record.rules) ? WaitForWindow(record.name) : Outcome::Next;
    }
    // Every way out of a launch, an abandoned one included, leaves the program folder current:
    // a later program with a bare file name is looked for there.
    ChangeDirectory(platform_.files, programFolder_);
    if (outcome == Outcome::StopPass || host_.Ending()) return Outcome::StopPass;
    if (noticeMode_ == NoticeMode::Tray) return Outcome::Next;  // nothing was waited for
    bool const goOn = platform_.events.ProcessPendingEvents();
    windows_.Stale();  // the desktop has moved on during the wait and its events
    processes_.Stale();
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
        NoCrashDialog const quiet(platform_.system, supervisor_.StateOf(record.name).noCrashDialog);
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
        windows_.Stale();  // a second of events has passed
        WindowHandle const window = windows_.Find(record);
        if (window != 0) {
            Observe(record, supervisor_.StateOf(name), window);
            placements_.Keep(record, window, launchPaused_);
            return Outcome::Next;
        }
    }
    int const number = programs_.Find(name);
    if (number == 0) return Outcome::StopPass;
    WindowNeverCame(programs_[number], supervisor_.StateOf(name));
    return Outcome::Next;
}

WatchEngine::Outcome WatchEngine::MissingFileStop(std::wstring const& message, std::wstring const& program) {
    ProgramState& state = supervisor_.StateOf(program);
    bool const said = std::exchange(state.missingFile, true);
    bool const tray = noticeMode_ == NoticeMode::Tray;
    // In Tray mode one bad entry stops no other program: this one is looked for again every
    // minute, and said once until it starts.
    if (tray) state.retryAt = Now() + Supervisor::kRetryMilliseconds;
    if (tray && said) return Outcome::Next;
    reporter_.Report(TroubleKind::MissingFile, program, message);
    Notify(message, program);
    if (tray) return Outcome::Next;
    if (ShowNotices() == Outcome::StopPass) return Outcome::StopPass;
    SetLaunchPaused(true);
    host_.ShowMainWindow();
    return Outcome::StopPass;
}

void WatchEngine::WindowNeverCame(WatchedProgram const& record, ProgramState& state) {
    if (Windowless(record.rules)) {
        Notify(L"Could not find the process of " + record.exe + L" after its start", record.name);
        supervisor_.WindowNeverCame(record, state);
        return;
    }
    std::wstring const message = L"Could not find Window with Caption: " + record.caption;
    std::optional<std::vector<std::wstring>> const windows = supervisor_.StartedProcessWindows(state);
    Notify(!windows           ? message
           : windows->empty() ? message + L"; its process shows no window"
                              : message + L"; its windows: " + CaptionList(*windows),
           record.name);
    supervisor_.WindowNeverCame(record, state);
}

void WatchEngine::EnterDirectory(std::wstring const& directory) {
    // A bare file name has no folder to enter: the current directory stays as it is.
    if (!directory.empty()) ChangeDirectory(platform_.files, directory);
}

}  // namespace vigilon
