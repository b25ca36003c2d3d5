#include "engine/watch_engine.h"

#include <utility>
#include <vector>

#include "engine/missing_file.h"

namespace vigilon {

void WatchEngine::ShowHidePrograms(bool forceShow) {
    // The windows first: showing one processes events, and the user may edit the list meanwhile.
    std::vector<std::pair<WindowHandle, std::wstring>> windows;
    for (int i = 1; i <= programs_.Count(); ++i) {
        WindowHandle const window = WindowOf(programs_[i].name);
        // A window kept on screen is not the tray's to hide, nor to restore out of its state.
        if (window != 0 && !PlacementKeeper::KeepsShown(programs_[i])) windows.emplace_back(window, programs_[i].name);
    }
    for (auto const& [window, name] : windows) {
        if (platform_.desktop.IsVisible(window) && !forceShow) {
            Hide(window, name);
        } else {
            ShowAndActivate(window, name);
        }
    }
    // Also the windows hidden for programs that have lost them since the last pass.
    if (forceShow) hidden_.ShowAll(L"nothing Vigilon hid is left hidden");
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

bool WatchEngine::ShowProgram(std::wstring_view name, bool show) {
    int const number = programs_.FindByName(name);
    if (number == 0) return false;
    WindowHandle const window = WindowOf(programs_[number].name);
    if (window == 0) return false;
    std::wstring const program = programs_[number].name;
    if (show) {
        ShowAndActivate(window, program);
    } else {
        Hide(window, program);
    }
    return true;
}

void WatchEngine::ClosePrograms() {
    SetLaunchPaused(true);
    for (int i = 1; i <= programs_.Count(); ++i) {
        WindowHandle const window = WindowOf(programs_[i].name);
        std::wstring const name = programs_[i].name;
        // Nothing is asked to close, and its process is not ended (work could be lost): said, so
        // that whoever closed the programs learns why it still runs.
        if (window == 0 && Windowless(programs_[i].rules) && supervisor_.StateOf(name).window.Present()) {
            Log(L"close", name, L"it has no window: left running");
        }
        if (window == 0) continue;
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

void WatchEngine::LaunchPrograms() {
    supervisor_.ReleaseClosed();
    hours_.LaunchAsked();
    ResumeLaunching();
}

void WatchEngine::ResumeLaunching() {
    if (launchPaused_) readiness_.Arm();
    supervisor_.ClearBackoff();
    SetLaunchPaused(false);
    host_.EnableTimer();
}

void WatchEngine::SetLaunchPaused(bool paused) {
    if (paused == launchPaused_) return;
    launchPaused_ = paused;
    Log(paused ? L"paused" : L"resumed", {});
    // Nothing is ended while launching is paused: a countdown running is cancelled at once.
    if (paused) escalation_.CancelBecause(L"launching was paused");
    if (paused) WakeDisplays(L"launching is paused");
    host_.LaunchPausedChanged(paused);
}

WatchEngine::RestartAnswer WatchEngine::RestartProgram(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return RestartAnswer::NoSuchProgram;
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    // A window gone since the last pass is not restarted: its going was not asked for; nor one
    // retitled since, which may be another program's now.
    bool const windowless = Windowless(record.rules);
    // A program whose caption came back since the last pass has a stronger claim on the window
    // than the one held for this program while it had none: it is judged by the keys of now.
    if (!windowless) windows_.ReadKeys();
    // Without a window: its process, which the process watch tells ended or not.
    bool const gone = windowless ? !state.window.Present() || supervisor_.KnownEnded(state.window.processId)
                                 : record.caption.empty() || state.window.handle == 0 ||
                                       platform_.desktop.WindowProcessId(state.window.handle) == 0 ||
                                       !windows_.StillMatches(record, state.window.handle);
    if (gone) {
        return RestartAnswer::NotRunning;
    }
    if (launchPaused_) return RestartAnswer::LaunchPaused;
    return supervisor_.RequestRestart(record, state) ? RestartAnswer::Restarting : RestartAnswer::NotItsOwn;
}

StartReply WatchEngine::StartProgram(std::wstring_view name) {
    int const number = programs_.FindByName(name);
    if (number == 0) return {StartAnswer::NoSuchProgram};
    WatchedProgram const& record = programs_[number];
    ProgramState& state = supervisor_.StateOf(record.name);
    bool const windowThere = Windowless(record.rules)
                                 ? state.window.Present() && !supervisor_.KnownEnded(state.window.processId)
                                 : state.window.handle != 0 && platform_.desktop.WindowProcessId(state.window.handle) != 0;
    // The file is looked for as the pass would, so that a start that would stop on it is refused
    // now, with the pass's own words, rather than said to go ahead.
    auto const missing = [&] { return MissingFileOf(record, platform_.files, programFolder_); };
    return AskToStart(record, state, {launchPaused_, host_.Watching(), windowThere, HeldBy() == Hold::Notice, missing});
}

}  // namespace vigilon
