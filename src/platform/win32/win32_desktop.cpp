#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/win32_handles.h"

namespace vigilon {
namespace {

using Visitor = std::function<bool(WindowHandle)>;

struct ActivationSearch {
    DWORD processId;
    HWND found;
};

// The first visible, unowned top-level window of the process: the one a user would switch to.
BOOL CALLBACK FindProcessWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ActivationSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// Window events of other processes since the hooks were installed. The hook procedure has no
// context of its own, so the count is the process's.
std::atomic<std::uint64_t> windowEvents{0};

void CALLBACK CountWindowEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window != nullptr && object == OBJID_WINDOW && child == CHILDID_SELF) ++windowEvents;
}

HWINEVENTHOOK HookWindowEvents(DWORD first, DWORD last) {
    return SetWinEventHook(first, last, nullptr, CountWindowEvent, 0, 0,
                           WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    // No exception may cross back into the system's enumeration; one stops the enumeration.
    try {
        return (*reinterpret_cast<Visitor const*>(context))(FromHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

// The device interface path of the first monitor on the display adapter: it names the monitor
// itself, so it stays the same when the display is attached again or the adapters are renumbered.
// The adapter's name when the system gives none (Wine).
std::wstring StableDisplayId(wchar_t const* adapter) {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    if (EnumDisplayDevicesW(adapter, 0, &device, EDD_GET_DEVICE_INTERFACE_NAME) && device.DeviceID[0] != L'\0') {
        return device.DeviceID;
    }
    return adapter;
}

BOOL CALLBACK AddDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    RECT const& area = info.rcMonitor;
    reinterpret_cast<std::vector<DisplayInfo>*>(context)->push_back(
        {StableDisplayId(info.szDevice), info.szDevice, static_cast<int>(area.left), static_cast<int>(area.top),
         static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top),
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

}  // namespace

void Win32Desktop::EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::uint64_t Win32Desktop::ChangeCount() {
    if (!hooked_) {
        hooked_ = true;
        // Created, destroyed, shown, hidden and reordered; retitled; brought to the front. Not
        // moves, which come with every drag and every movement of the mouse pointer.
        hooks_[0].Reset(HookWindowEvents(EVENT_OBJECT_CREATE, EVENT_OBJECT_REORDER));
        hooks_[1].Reset(HookWindowEvents(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE));
        hooks_[2].Reset(HookWindowEvents(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND));
    }
    for (UniqueWinEventHook const& hook : hooks_) {
        if (!hook) return ++windowEvents;  // blind without it: every call is a change
    }
    return windowEvents.load();
}

std::size_t Win32Desktop::ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) {
    if (buffer.empty()) return 0;
    int const n = GetWindowTextW(ToHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t Win32Desktop::ReadWindowClass(WindowHandle window, std::span<wchar_t> buffer) {
    if (buffer.empty()) return 0;
    int const n = GetClassNameW(ToHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool Win32Desktop::IsMinimised(WindowHandle window) { return IsIconic(ToHwnd(window)) != 0; }

bool Win32Desktop::IsVisible(WindowHandle window) { return IsWindowVisible(ToHwnd(window)) != 0; }

void Win32Desktop::ShowWindowAs(WindowHandle window, std::int32_t showCommand) {
    HWND const hwnd = ToHwnd(window);
    // Another thread's window gets the request posted, so that a program that has stopped
    // responding cannot hang this one; our own windows change at once.
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        ShowWindow(hwnd, showCommand);  // waits-allowed: a window of this thread only
    } else {
        ShowWindowAsync(hwnd, showCommand);
    }
}

std::uint32_t Win32Desktop::WindowProcessId(WindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(window), &processId);
    return processId;
}

bool Win32Desktop::ActivateProcess(std::uint32_t processId) {
    ActivationSearch search{processId, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return false;
    if (IsIconic(search.found)) ShowWindowAsync(search.found, SW_RESTORE);
    return SetForegroundWindow(search.found) != 0;
}

void Win32Desktop::RequestClose(WindowHandle window) {
    // Sent without waiting for an answer: the owner handles it among its sent messages, ahead of
    // its posted ones and of a later end-session message, while a program that has just stopped
    // responding (and is not yet called hung) keeps nobody waiting.
    SendNotifyMessageW(ToHwnd(window), WM_CLOSE, 0, 0);
}

void Win32Desktop::PostClose(WindowHandle window) { PostMessageW(ToHwnd(window), WM_CLOSE, 0, 0); }

std::uint32_t Win32Desktop::ShellProcessId() {
    HWND const shell = GetShellWindow();
    return shell == nullptr ? 0 : WindowProcessId(FromHwnd(shell));
}

std::vector<DisplayInfo> Win32Desktop::Displays() {
    std::vector<DisplayInfo> displays;
    EnumDisplayMonitors(nullptr, nullptr, AddDisplay, reinterpret_cast<LPARAM>(&displays));
    return displays;
}

}  // namespace vigilon
