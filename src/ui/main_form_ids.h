#pragma once

#include <windows.h>

namespace vigilon {

// The main window's timers, private messages, hot key and tray tips, for the files of MainForm.
inline constexpr UINT_PTR kWatchTimerId = 1;
inline constexpr UINT_PTR kCommandsTimerId = 2;  // runs whether or not passes do
inline constexpr UINT kWatchIntervalMilliseconds = 1000;
inline constexpr UINT kProcessEndedMessage = WM_APP + 1;    // wParam: the process id
// The messages that change state carry PrivateMessageToken in lParam: any program can post to this
// window, but only this process knows the token.
inline constexpr UINT kWindowAnsweredMessage = WM_APP + 2;  // wParam: the window; lParam: the token, +1 when it answered
inline constexpr UINT kRemoteCloseMessage = WM_APP + 3;     // a script's /close, done after its answer has gone
inline constexpr UINT kRemoteExitMessage = WM_APP + 4;      // a script's /exit, likewise
inline constexpr UINT kPlacementDoneMessage = WM_APP + 5;   // a window's placement has ended; lParam: the token
inline constexpr UINT kScreenshotDoneMessage = WM_APP + 6;  // a picture is done (a restart or a script waits for it); lParam: the token
inline constexpr UINT kRemoteEditorMessage = WM_APP + 7;    // another start's `configure`, done after its answer has gone
inline constexpr int kMenuHotkeyId = 1;
inline constexpr wchar_t kTip[] = L"Vigilon";
inline constexpr wchar_t kPausedTip[] = L"Vigilon - launching paused";

}  // namespace vigilon
