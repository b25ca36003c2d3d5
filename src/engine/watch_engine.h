#pragma once

#include <string>

#include "app/watched_programs.h"
#include "engine/watch_host.h"
#include "platform/platform.h"
#include "support/caption_cache.h"

namespace vigilon {

// Keeps the watched programs running: finds their windows, hides minimised ones, starts the
// missing ones, and shows, hides or closes them all on request.
class WatchEngine {
public:
    WatchEngine(Platform& platform, WatchHost& host, WatchedPrograms& programs, std::wstring programFolder);

    // One pass over the table. Does nothing when a pass is already running (a pass handles events
    // while it waits, so a timer tick can arrive inside one).
    void WatchPrograms();

    // Hides every known window that is visible and shows and activates every hidden one; with
    // `forceShow`, shows and activates them all.
    void ShowHidePrograms(bool forceShow);

    // Pauses launching and asks every known window to close.
    void ClosePrograms();

    // Ends the pause on launching and starts the watch timer.
    void ResumeLaunching();

    bool LaunchPaused() const { return launchPaused_; }
    bool WatchBusy() const { return watchBusy_; }

private:
    enum class Outcome { Next, StopPass };

    Outcome WatchProgram(int number);
    // Starts the program and waits for its window; the program folder is current again after.
    Outcome Launch(int number);
    Outcome StartAndWait(int number);
    Outcome PrepareJarProgram(int number);
    Outcome WaitForWindow(int number);
    Outcome MissingFileStop(std::wstring const& message);
    // Shows a message; StopPass when the program began to end while it was open.
    Outcome Report(std::wstring const& message);
    // The program's window as the pass sees it, from the desktop's captions as last read: one
    // reading per pass, taken again whenever events were processed (a launch, a wait, a message),
    // and left out while the desktop reports no change. The window found is confirmed by reading
    // its own caption again, so a closed or retitled window is never taken for the program's; a
    // program not found is looked for among every caption read afresh, so a window retitled into
    // a match counts at once.
    WindowHandle FindInPass(WatchedProgram const& record);
    // `window` when its caption still matches, otherwise the program's window from every caption
    // read afresh.
    WindowHandle Confirmed(WindowHandle window, WatchedProgram const& record);
    // The program's window after reading every caption afresh; the cache is corrected meanwhile.
    WindowHandle FindProgramWindow(WatchedProgram const& record);
    void EnterDirectory(std::wstring const& directory);
    bool Valid(int number) const { return number <= programs_.Count() && !host_.Ending(); }

    Platform& platform_;
    WatchHost& host_;
    WatchedPrograms& programs_;
    std::wstring programFolder_;
    bool launchPaused_ = false;
    bool watchBusy_ = false;
    // How the cached captions stand since events were last processed: not read, updated (only
    // what may have changed), or read in full.
    enum class Captions { Stale, Current, Fresh };
    CaptionCache captions_;
    Captions captionsState_ = Captions::Stale;
};

}  // namespace vigilon
