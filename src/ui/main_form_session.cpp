#include "ui/main_form.h"

#include <utility>

namespace vigilon {

void MainForm::OnClose() {
    if (mode_.Ending()) return;
    // A hidden window cannot be closed by the user: the request comes from another program (the
    // task manager, taskkill, an installer), which wants Vigilon to end.
    if (!IsWindowVisible(window_)) {
        Unload();
        return;
    }
    // Closed by the user (close box, Close on the system menu, Alt+F4) from any visible state: the
    // window is hidden and watching resumes. A window not yet minimised is minimised, which does
    // both (OnSize) and keeps its state for a later stop on a missing file; one that sits
    // minimised on the taskbar gets no size change, so it is handled here as a minimise is.
    if (!IsIconic(window_)) {
        ShowWindow(window_, SW_MINIMIZE);
        return;
    }
    OnSize(SIZE_MINIMIZED);
}

void MainForm::OnEndSession(bool onlyVigilon) {
    // An installer replacing Vigilon's exe (Restart Manager) ends Vigilon alone, as Exit does: the
    // watched programs go on running.
    if (onlyVigilon) {
        Unload();
        return;
    }
    engine_.ClosePrograms();
    platform_.events.ProcessPendingEvents();
    Unload();
}

void MainForm::Unload() {
    if (window_ == nullptr || !mode_.End()) return;
    if (onEnding_) onEnding_();
    KillTimer(window_, kWatchTimerId);
    if (std::exchange(hotkeyRegistered_, false)) UnregisterHotKey(window_, kMenuHotkeyId);
    engine_.LetGoOfWindows();
    engine_.ShowHidePrograms(true);
    engine_.RecordExit();  // the last line: after the programs shown on the way out
    if (status_.Window() != nullptr) DestroyWindow(status_.Window());
    RestoreMainWindow();
    tray_.Delete();
    // A watch pass that is waiting inside this call sees Ending() and the quit request, and
    // returns without touching the window again.
    DestroyWindow(window_);
}

}  // namespace vigilon
