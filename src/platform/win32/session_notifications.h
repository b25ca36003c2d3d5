#pragma once

#include <windows.h>

namespace vigilon {

// While it lives, `window` is sent WM_WTSSESSION_CHANGE when the session is locked, unlocked,
// connected or disconnected. The session functions' library is loaded from the system folder
// only, on first use, and stays loaded; without it nothing is sent, and nothing fails.
class SessionNotifications {
public:
    SessionNotifications() = default;
    SessionNotifications(SessionNotifications const&) = delete;
    SessionNotifications& operator=(SessionNotifications const&) = delete;
    ~SessionNotifications();

    // False when the system cannot tell this window of session changes.
    bool Register(HWND window);

    // True for the changes after which what is on screen may have been laid out anew: the session
    // unlocked, or connected to this console or from afar.
    static bool ScreenCameBack(WPARAM change);

private:
    HWND window_ = nullptr;
};

}  // namespace vigilon
