#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vigilon::e2e {

struct WindowInfo {
    HWND window;
    std::wstring caption;
    std::wstring className;
    bool visible;
    bool minimised;
    DWORD processId;
};

// The desktop's top-level windows, in enumeration order.
std::vector<WindowInfo> ListWindows();

// The first top-level window whose caption starts with `prefix` (exact case), or null.
HWND FindWindowStartingWith(std::wstring const& prefix);

// Vigilon's hidden main window, or null.
HWND FindVigilonMainWindow();

// The control with identifier `id` among the descendants of `parent`, or null.
HWND FindControl(HWND parent, int id);

void Minimise(HWND window);
void Close(HWND window);

// Sends the main window a tray notification as the shell does: its callback message 0x200 with
// the mouse message in lParam. Posted, so a pop-up menu it opens does not block the caller.
void SendTrayNotification(HWND mainWindow, UINT mouseMessage);

// A menu command, as if chosen from a menu.
void SendMenuCommand(HWND mainWindow, UINT id);

// A message box of Vigilon's, titled `title`; its text comes back in `text`.
HWND FindMessageBox(std::wstring const& title, std::wstring* text = nullptr);
void PressOk(HWND messageBox);

// Asks the running Vigilon for its status `rounds` times through the message /status sends, and
// gives the longest time from the question to the whole answer, in milliseconds; -1 on failure.
double LongestStatusAnswer(int rounds);

// Tells every top-level window that the taskbar was created anew.
void BroadcastTaskbarCreated();

// True while the shell holds Vigilon's tray icon.
bool TrayIconPresent(HWND mainWindow);
// Removes Vigilon's tray icon, as when Explorer restarts and forgets it.
void RemoveTrayIcon(HWND mainWindow);

}  // namespace vigilon::e2e
