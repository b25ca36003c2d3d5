#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/display.h"
#include "platform/window_handle.h"
#include "platform/window_placement.h"

namespace vigilon {

// The top-level windows of the desktop, whichever process owns them.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Calls `visit` once for each top-level window, in the system's enumeration order, until it
    // returns false. Child windows are not visited.
    virtual void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) = 0;

    // A count that grows when the system reports that a top-level window of another process
    // came, went, was shown or hidden, retitled or brought to the front; where the system cannot
    // report, it grows on every call. Reports may be incomplete (Wine reports new windows but not
    // closed or retitled ones), so equal readings only suggest that nothing changed: the caller
    // confirms what it relies on and enumerates again now and then.
    virtual std::uint64_t ChangeCount() = 0;

    // Copies at most buffer.size() - 1 characters of the window's caption and a terminator into
    // `buffer`. Returns the number of characters copied: 0 for a window without a caption.
    virtual std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) = 0;

    // Copies at most buffer.size() - 1 characters of the name of the window's class and a
    // terminator into `buffer`. Returns the number of characters copied: 0 when it cannot be read
    // (the window is gone). Asks nothing of the window's owner.
    virtual std::size_t ReadWindowClass(WindowHandle window, std::span<wchar_t> buffer) = 0;

    virtual bool IsMinimised(WindowHandle window) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;

    // Shows or hides a window with a show command (SW_HIDE, SW_SHOWNORMAL, ...). The request is
    // handed over without waiting for the window's owner, so a program that no longer responds
    // cannot hold up the caller.
    virtual void ShowWindowAs(WindowHandle window, std::int32_t showCommand) = 0;

    // The id of the process that owns the window; 0 when there is none.
    virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;

    // Makes the first suitable top-level window of the process the active, foreground window.
    // False when the process has none.
    virtual bool ActivateProcess(std::uint32_t processId) = 0;

    // Asks the window to close (WM_CLOSE) without waiting for its owner to handle the request, so
    // that every program can be asked at once and none that has stopped responding holds the
    // caller up. The request is handled before the owner's posted messages.
    virtual void RequestClose(WindowHandle window) = 0;

    // Asks the window to close (WM_CLOSE) without waiting for its owner at all.
    virtual void PostClose(WindowHandle window) = 0;

    // The id of the process that owns the shell's desktop window (the taskbar and the desktop's
    // process); 0 when there is no shell.
    virtual std::uint32_t ShellProcessId() = 0;

    // The displays attached now, the primary one among them; empty when none can be read.
    virtual std::vector<DisplayInfo> Displays() = 0;

    // How the window is shown, and the `parts` asked for. Reading asks nothing of the window's
    // owner, so a program that has stopped responding is read like any other.
    virtual WindowPlacement ReadPlacement(WindowHandle window, PlacementParts parts) = 0;
    // True when the window's program has not taken its messages for a while: nothing should be
    // asked of the window, not even a request that does not wait.
    virtual bool IsHung(WindowHandle window) = 0;

    // Hands `steps` to the window's own queue without waiting for the window's owner, and returns
    // the request's number. The requests for one window are carried out one after another, in the
    // order they were made (those for different windows in any order). A new frame keeps the rest
    // of the style as the window has it then, and is drawn anew; a move keeps its place in the
    // z-order. A request ends once every step was done and the window is seen to have taken it,
    // or at the first step that did not take.
    virtual std::uint64_t Place(WindowHandle window, PlacementSteps const& steps) = 0;
    // The outcomes of the requests that ended since the last call, in the order they ended.
    virtual std::vector<PlacementOutcome> PlacementsDone() = 0;
    // Waits at most `milliseconds` for every request under way to end: true when none is left.
    virtual bool WaitForPlacements(int milliseconds) = 0;
};

// Show commands.
inline constexpr std::int32_t kSwHide = 0;
inline constexpr std::int32_t kSwShowNormal = 1;
inline constexpr std::int32_t kSwShowMaximized = 3;
inline constexpr std::int32_t kSwShowNoActivate = 4;
inline constexpr std::int32_t kSwShow = 5;
inline constexpr std::int32_t kSwMinimize = 6;
inline constexpr std::int32_t kSwShowNa = 8;
inline constexpr std::int32_t kSwRestore = 9;

}  // namespace vigilon
