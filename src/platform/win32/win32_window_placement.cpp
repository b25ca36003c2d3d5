// Reading and changing where another program's window is. Nothing here waits for the window's
// owner on the calling thread: reading asks the system, not the window, and every change is
// posted (ShowWindowAsync, SWP_ASYNCWINDOWPOS) or, for a new style, made on a worker thread.
#include <windows.h>

#include <memory>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_handles.h"

namespace vigilon {
namespace {

WindowRect FromRect(RECT const& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right - rect.left),
            static_cast<int>(rect.bottom - rect.top)};
}

bool OwnThreads(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

// The restored place, which GetWindowPlacement gives in workspace coordinates (from the top left
// corner of the work area of the window's monitor) for a window that is not a tool window.
RECT NormalOnScreen(HWND window, WINDOWPLACEMENT const& placement, LONG_PTR exStyle) {
    RECT normal = placement.rcNormalPosition;
    if ((exStyle & WS_EX_TOOLWINDOW) != 0) return normal;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    // For a minimised window, the monitor of its place before it was minimised.
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        OffsetRect(&normal, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    }
    return normal;
}

struct FrameRequest {
    HWND window;
    LONG_PTR style;
    WindowRect rect;
    std::shared_ptr<std::atomic<int>> inFlight;
};

void ApplyFrame(FrameRequest const& request) {
    // The style is sent to the window's owner, which must take it before the frame is drawn anew.
    // Only the frame's bits are taken from the request: the rest (shown, minimised, maximised,
    // disabled) is as the window has it now, which may have changed since the request was made.
    LONG_PTR const frame = WS_OVERLAPPEDWINDOW;
    LONG_PTR const current = GetWindowLongPtrW(request.window, GWL_STYLE);
    // waits-allowed: on a worker for another thread's window (SetWindowFrame), at once for this thread's
    SetWindowLongPtrW(request.window, GWL_STYLE, (current & ~frame) | (request.style & frame));
    // waits-allowed: as above
    SetWindowPos(request.window, nullptr, request.rect.left, request.rect.top, request.rect.width, request.rect.height,
                 SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CALLBACK ApplyFrameOnWorker(PTP_CALLBACK_INSTANCE, void* context) {
    std::unique_ptr<FrameRequest> const request(static_cast<FrameRequest*>(context));
    ApplyFrame(*request);
    --*request->inFlight;
}

}  // namespace

Win32Desktop::~Win32Desktop() {
    // A frame given back as Vigilon ends is given before it goes, unless the window's owner keeps
    // the worker waiting: then Vigilon goes without waiting longer.
    DWORD const deadline = GetTickCount() + kFrameWaitMilliseconds;
    while (framesInFlight_->load() > 0 && static_cast<LONG>(deadline - GetTickCount()) > 0) Sleep(10);
}

WindowPlacement Win32Desktop::ReadPlacement(WindowHandle window) {
    // Read at every pass for every window with a place of its own, so it asks as little as it
    // can (under Wine each question is a round trip to the server): the show state and the
    // visibility are bits of the style, and a normal window is where it comes back to.
    HWND const hwnd = ToHwnd(window);
    WindowPlacement placement;
    RECT now{};
    if (!GetWindowRect(hwnd, &now)) return placement;
    LONG_PTR const style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    LONG_PTR const exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    placement.read = true;
    placement.visible = (style & WS_VISIBLE) != 0;  // a top-level window has no parent to hide it
    placement.state = (style & WS_MINIMIZE) != 0   ? WindowShowState::Minimised
                      : (style & WS_MAXIMIZE) != 0 ? WindowShowState::Maximised
                                                   : WindowShowState::Normal;
    placement.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    placement.style = static_cast<std::uint32_t>(style);
    placement.rect = placement.normal = FromRect(now);
    if (placement.state == WindowShowState::Normal) return placement;
    WINDOWPLACEMENT read{};
    read.length = sizeof read;
    if (GetWindowPlacement(hwnd, &read)) placement.normal = FromRect(NormalOnScreen(hwnd, read, exStyle));
    // A minimised window's rectangle is a parking place off every display.
    if (placement.state == WindowShowState::Minimised) placement.rect = placement.normal;
    return placement;
}

bool Win32Desktop::IsHung(WindowHandle window) { return IsHungAppWindow(ToHwnd(window)) != FALSE; }

void Win32Desktop::MoveWindowTo(WindowHandle window, WindowRect const& rect) {
    HWND const hwnd = ToHwnd(window);
    UINT const async = OwnThreads(hwnd) ? 0 : SWP_ASYNCWINDOWPOS;
    // waits-allowed: asynchronous for another thread's window
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | async);
}

void Win32Desktop::SetWindowFrame(WindowHandle window, std::uint32_t style, WindowRect const& rect) {
    HWND const hwnd = ToHwnd(window);
    auto request = std::make_unique<FrameRequest>(
        FrameRequest{hwnd, static_cast<LONG_PTR>(style), rect, framesInFlight_});
    if (OwnThreads(hwnd)) {
        ApplyFrame(*request);
        return;
    }
    // SetWindowLongPtrW waits for the owner to take the new style: a worker waits instead of the
    // user-interface thread. A request the pool cannot take is left to the next pass.
    ++*framesInFlight_;
    if (TrySubmitThreadpoolCallback(ApplyFrameOnWorker, request.get(), nullptr)) {
        request.release();
    } else {
        --*framesInFlight_;
    }
}

void Win32Desktop::SetTopmost(WindowHandle window, bool topmost) {
    HWND const hwnd = ToHwnd(window);
    UINT const async = OwnThreads(hwnd) ? 0 : SWP_ASYNCWINDOWPOS;
    // waits-allowed: asynchronous for another thread's window
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | async);
}

}  // namespace vigilon
