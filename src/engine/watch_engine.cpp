#include "engine/watch_engine.h"

#include <array>

#include "engine/jar_program.h"
#include "engine/launch_text.h"
#include "engine/wait_seconds.h"
#include "support/application_title.h"
#include "support/file_utils.h"
#include "support/folders.h"
#include "support/message.h"
#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

constexpr int kWindowTries = 61;
constexpr std::int32_t kLaunchSucceeded = 32;  // the shell's results above this mean success

}  // namespace

WatchEngine::WatchEngine(Platform& platform, WatchHost& host, WatchedPrograms& programs,
                         std::wstring programFolder)
    : platform_(platform), host_(host), programs_(programs), programFolder_(std::move(programFolder)) {}

void WatchEngine::WatchPrograms() {
    if (watchBusy_) return;
    watchBusy_ = true;
    // The bound is fixed at the start; programs added meanwhile wait for the next pass, and the
    // pass stops early when the editor has removed the programs it has yet to visit.
    int const count = programs_.Count();
    captionsState_ = Captions::Stale;
    for (int i = 1; i <= count && Valid(i); ++i) {
        if (WatchProgram(i) == Outcome::StopPass) break;
    }
    watchBusy_ = false;
}

WatchEngine::Outcome WatchEngine::WatchProgram(int number) {
    WatchedProgram& record = programs_[number];
    Desktop& desktop = platform_.desktop;
    // Every caption begins with the empty text: a program without a caption would claim some
    // other program's window, to hide or close it. It is left unwatched until it has one.
    if (record.caption.empty()) {
        record.windowHandle = 0;
        return Outcome::Next;
    }
    record.windowHandle = FindInPass(record);
    // Visibility first: a watched window is usually hidden, and each question is a round trip.
    if (record.windowHandle != 0 && desktop.IsVisible(record.windowHandle) &&
        desktop.IsMinimised(record.windowHandle)) {
        desktop.ShowWindowAs(record.windowHandle, kSwHide);
    }
    if (record.windowHandle != 0 || launchPaused_) return Outcome::Next;
    return Launch(number);
}

WatchEngine::Outcome WatchEngine::Launch(int number) {
    // A launch processes events and windows come and go meanwhile: the programs after this one
    // are looked up in a new reading of the desktop.
    captionsState_ = Captions::Stale;
    Outcome const outcome = StartAndWait(number);
    // Every way out of a launch, an abandoned one included, leaves the program folder current:
    // a later program with a bare file name is looked for there.
    ChangeDirectory(platform_.files, programFolder_);
    if (outcome == Outcome::StopPass || host_.Ending()) return Outcome::StopPass;
    bool const goOn = platform_.events.ProcessPendingEvents();
    captionsState_ = Captions::Stale;  // the desktop has moved on during the wait and its events
    return goOn ? Outcome::Next : Outcome::StopPass;
}

WatchEngine::Outcome WatchEngine::StartAndWait(int number) {
    if (IsJarProgram(programs_[number]) && PrepareJarProgram(number) == Outcome::StopPass) {
        return Outcome::StopPass;
    }
    if (!Valid(number)) return Outcome::StopPass;
    WatchedProgram& record = programs_[number];
    if (!FileExists(platform_.files, record.exe)) {
        return MissingFileStop(L"Executable: " + record.exe + L" is not a valid file.");
    }
    std::wstring const parameters = LaunchParameters(record.prefix, record.command, record.postfix);
    EnterDirectory(StartsInJarFolder(record) ? DirectoryOf(record.command) : DirectoryOf(record.exe));
    record.launchResult =
        platform_.shell.Execute(host_.MainWindow(), L"open", L"\"" + record.exe + L"\"", parameters,
                                platform_.files.WorkingDirectory(), kSwMinimize);
    if (record.launchResult > kLaunchSucceeded) return WaitForWindow(number);
    return Report(L"Error launching: \"" + record.exe + L"\"" + parameters);
}

WatchEngine::Outcome WatchEngine::PrepareJarProgram(int number) {
    WatchedProgram& record = programs_[number];
    CompleteJarPaths(record);
    if (!FileExists(platform_.files, record.command)) {
        return MissingFileStop(L"Quorvault location: " + record.command + L" is not a valid file.");
    }
    EnterDirectory(DirectoryOf(record.command));
    std::wstring const markerFolder =
        record.postfix.empty() ? GetSpecialFolderPath(platform_.shell, kCsidlProfile) : record.postfix;
    std::wstring const marker = AddBackslash(markerFolder) + kMarkerFileName;
    if (FileExists(platform_.files, marker) && !platform_.files.RemoveFile(marker)) {
        // A marker left behind may keep the program from starting, but starting it anyway is
        // the better bet; the user learns why if it does not come up.
        return Report(L"Marker file: " + marker + L" could not be deleted.");
    }
    return Outcome::Next;
}

WatchEngine::Outcome WatchEngine::WaitForWindow(int number) {
    for (int tries = 1; tries <= kWindowTries; ++tries) {
        if (!WaitSeconds(platform_.events, 1) || !Valid(number)) return Outcome::StopPass;
        WatchedProgram& record = programs_[number];
        // A second of events has passed: the window awaited is new, or has just taken its title.
        record.windowHandle = FindProgramWindow(record);
        if (record.windowHandle != 0) return Outcome::Next;
    }
    return Report(L"Could not find Window with Caption: " + programs_[number].caption);
}

WatchEngine::Outcome WatchEngine::MissingFileStop(std::wstring const& message) {
    if (Report(message) == Outcome::StopPass) return Outcome::StopPass;
    launchPaused_ = true;
    host_.ShowMainWindow();
    return Outcome::StopPass;
}

WatchEngine::Outcome WatchEngine::Report(std::wstring const& message) {
    ShowMessage(platform_.system, message, kMbIconExclamation, kApplicationTitle);
    return host_.Ending() ? Outcome::StopPass : Outcome::Next;
}

WindowHandle WatchEngine::FindInPass(WatchedProgram const& record) {
    if (captionsState_ == Captions::Stale) {
        captions_.Update(platform_.desktop);
        captionsState_ = Captions::Current;
    }
    WindowHandle const window = Confirmed(captions_.Find(record.caption, kMatchBeginsWith, false), record);
    // Not among the captions as last read: a window may have taken the caption since, and not
    // every system reports a retitle. Every caption is read afresh, at most once per reading,
    // before the program counts as missing.
    if (window == 0 && captionsState_ != Captions::Fresh) return FindProgramWindow(record);
    return window;
}

WindowHandle WatchEngine::Confirmed(WindowHandle window, WatchedProgram const& record) {
    if (window == 0) return 0;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    std::wstring_view const caption = ReadCaption(platform_.desktop, window, buffer);
    if (CaptionMatches(ToUpperText(caption), ToUpperText(record.caption), kMatchBeginsWith)) return window;
    return FindProgramWindow(record);  // closed or retitled since its caption was read
}

WindowHandle WatchEngine::FindProgramWindow(WatchedProgram const& record) {
    captions_.Refresh(platform_.desktop);
    captionsState_ = Captions::Fresh;
    return captions_.Find(record.caption, kMatchBeginsWith, false);
}

void WatchEngine::EnterDirectory(std::wstring const& directory) {
    // A bare file name has no folder to enter: the current directory stays as it is.
    if (!directory.empty()) ChangeDirectory(platform_.files, directory);
}

void WatchEngine::ShowHidePrograms(bool forceShow) {
    Desktop& desktop = platform_.desktop;
    for (int i = 1; i <= programs_.Count(); ++i) {
        WindowHandle const window = programs_[i].windowHandle;
        if (window == 0) continue;
        if (desktop.IsVisible(window) && !forceShow) {
            desktop.ShowWindowAs(window, kSwHide);
            continue;
        }
        desktop.ShowWindowAs(window, kSwShowNormal);
        platform_.events.ProcessPendingEvents();
        std::uint32_t const processId = desktop.WindowProcessId(window);
        if (processId != 0) desktop.ActivateProcess(processId);  // a failure changes nothing
    }
}

void WatchEngine::ClosePrograms() {
    launchPaused_ = true;
    for (int i = 1; i <= programs_.Count(); ++i) {
        WindowHandle const window = programs_[i].windowHandle;
        if (window == 0) continue;
        platform_.desktop.RequestClose(window);
        if (i <= programs_.Count()) programs_[i].windowHandle = 0;
    }
}

void WatchEngine::ResumeLaunching() {
    launchPaused_ = false;
    host_.EnableTimer();
}

}  // namespace vigilon
