#pragma once

#include <string>

#include "platform/window_handle.h"

namespace vigilon {

// What the watch engine needs of the main window that hosts it.
class WatchHost {
public:
    virtual ~WatchHost() = default;

    // The main window: owner of the programs the engine starts.
    virtual WindowHandle MainWindow() = 0;
    // Makes the main window visible in its current state, so the user sees a stop.
    virtual void ShowMainWindow() = 0;
    // Starts the watch timer.
    virtual void EnableTimer() = 0;
    // True once the program is ending: work in progress is abandoned.
    virtual bool Ending() = 0;
    // True while the watch timer runs; false while the user has the passes stopped (the editor).
    virtual bool Watching() = 0;
    // Tells the user of a problem without waiting for an answer (a tray notification).
    virtual void ShowNotice(std::wstring const& text) = 0;
    // Launching was paused or resumed: the tray says so.
    virtual void LaunchPausedChanged(bool paused) = 0;
};

}  // namespace vigilon
