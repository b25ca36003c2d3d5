// Reading and changing where another program's window is. Nothing here waits for the window's
// owner on the calling thread: reading asks the system, not the window, and every change is made
// on a worker thread, one window's changes one after another, whose outcome is posted back.
#include <windows.h>

#include <chrono>
#include <cwctype>
#include <memory>
#include <utility>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_error_text.h"
#include "platform/win32/private_messages.h"
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

// What a step that did not take says, in the system's words where it gives a reason.
std::wstring ReasonOf(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS: return L"the window kept its own placement";
    case ERROR_ACCESS_DENIED: return L"access denied (error 5)";  // a program that runs elevated
    case ERROR_INVALID_WINDOW_HANDLE: return L"the window is gone";
    default: break;
    }
    std::wstring reason = SystemErrorText(error);
    reason[0] = static_cast<wchar_t>(towlower(reason[0]));  // it follows "could not place: "
    return reason;
}

// True when the window's style shows that the show command took.
bool ShownAs(HWND window, std::int32_t command) {
    LONG_PTR const style = GetWindowLongPtrW(window, GWL_STYLE);
    bool const visible = (style & WS_VISIBLE) != 0;
    bool const minimised = (style & WS_MINIMIZE) != 0;
    bool const maximised = (style & WS_MAXIMIZE) != 0;
    switch (command) {
    case SW_SHOWMAXIMIZED: return visible && maximised;
    case SW_SHOWNORMAL: return visible && !minimised && !maximised;
    case SW_RESTORE: return visible && !minimised;
    default: return visible;
    }
}

// Carries out one request, waiting for the window's owner to take each step: the steps' own
// answers tell whether the system refused one, and the window's style whether it took it. The
// frame's bits alone are taken from the request: the rest (shown, minimised, maximised, disabled)
// stays as the window has it, which may have changed since the request was made.
PlacementOutcome CarryOut(HWND window, std::uint64_t request, PlacementSteps const& steps) {
    PlacementOutcome outcome{FromHwnd(window), request, false, {}};
    UINT const keep = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
    auto failed = [&](DWORD error) {
        outcome.reason = ReasonOf(IsWindow(window) ? error : ERROR_INVALID_WINDOW_HANDLE);
        return outcome;
    };
    if (steps.show) {
        // waits-allowed: a worker's, or at once for this thread's own window (Place)
        ShowWindow(window, *steps.show);  // answers whether it was visible before, not whether it took
        if (!ShownAs(window, *steps.show)) return failed(ERROR_SUCCESS);
    }
    if (steps.style && steps.rect) {
        LONG_PTR const frame = WS_OVERLAPPEDWINDOW;
        LONG_PTR const current = GetWindowLongPtrW(window, GWL_STYLE);
        LONG_PTR const wanted = (current & ~frame) | (static_cast<LONG_PTR>(*steps.style) & frame);
        SetLastError(ERROR_SUCCESS);
        // waits-allowed: a worker's, or at once for this thread's own window (Place)
        if (SetWindowLongPtrW(window, GWL_STYLE, wanted) == 0 && GetLastError() != ERROR_SUCCESS) {
            return failed(GetLastError());
        }
        WindowRect const& r = *steps.rect;
        // waits-allowed: a worker's, or at once for this thread's own window (Place)
        if (!SetWindowPos(window, nullptr, r.left, r.top, r.width, r.height, keep | SWP_FRAMECHANGED)) {
            return failed(GetLastError());
        }
        if ((GetWindowLongPtrW(window, GWL_STYLE) & frame) != (wanted & frame)) return failed(ERROR_SUCCESS);
    } else if (steps.rect) {
        WindowRect const& r = *steps.rect;
        // waits-allowed: a worker's, or at once for this thread's own window (Place)
        if (!SetWindowPos(window, nullptr, r.left, r.top, r.width, r.height, keep)) return failed(GetLastError());
    }
    if (steps.showAfter) {
        // waits-allowed: a worker's, or at once for this thread's own window (Place)
        ShowWindow(window, *steps.showAfter);
        if (!ShownAs(window, *steps.showAfter)) return failed(ERROR_SUCCESS);
    }
    if (steps.topmost) {
        // waits-allowed: a worker's, or at once for this thread's own window (Place)
        if (!SetWindowPos(window, *steps.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER)) {
            return failed(GetLastError());
        }
        bool const topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (topmost != *steps.topmost) return failed(ERROR_SUCCESS);
    }
    outcome.done = true;
    return outcome;
}

using Queues = Win32Desktop::PlacementQueues;

// A worker's task: the requests of one window, one after another, until its queue is empty.
struct Drain {
    std::shared_ptr<Queues> queues;
    HWND window;
};

void Finished(Queues& queues, PlacementOutcome outcome, bool leavesTop) {
    HWND notify = nullptr;
    UINT message = 0;
    {
        std::lock_guard lock(queues.mutex);
        if (leavesTop) {
            auto const left = queues.leavingTop.find(ToHwnd(outcome.window));
            if (left != queues.leavingTop.end() && --left->second == 0) queues.leavingTop.erase(left);
        }
        queues.done.push_back(std::move(outcome));
        --queues.underWay;
        notify = queues.notify;
        message = queues.message;
    }
    queues.ended.notify_all();
    if (notify != nullptr) PostMessageW(notify, message, 0, static_cast<LPARAM>(PrivateMessageToken()));
}

void CALLBACK DrainOnWorker(PTP_CALLBACK_INSTANCE, void* context) {
    std::unique_ptr<Drain> const drain(static_cast<Drain*>(context));
    Queues& queues = *drain->queues;
    for (;;) {
        Win32Desktop::PlacementRequest request;
        {
            std::lock_guard lock(queues.mutex);
            auto const queue = queues.waiting.find(drain->window);
            if (queue->second.empty()) {
                queues.waiting.erase(queue);  // a request made after this starts a worker of its own
                return;
            }
            request = std::move(queue->second.front());
            queue->second.pop_front();
        }
        Finished(queues, CarryOut(drain->window, request.id, request.steps), request.steps.topmost == false);
    }
}

}  // namespace

void Win32Desktop::SetPlacementNotify(HWND window, UINT message) {
    std::lock_guard lock(placements_->mutex);
    placements_->notify = window;
    placements_->message = message;
}

std::uint64_t Win32Desktop::Place(WindowHandle window, PlacementSteps const& steps) {
    HWND const hwnd = ToHwnd(window);
    std::uint64_t const id = ++lastPlacement_;
    // One of Vigilon's own windows takes each step at once: a worker would wait on this thread.
    if (OwnThreads(hwnd)) {
        {
            std::lock_guard lock(placements_->mutex);
            ++placements_->underWay;
        }
        Finished(*placements_, CarryOut(hwnd, id, steps), false);
        return id;
    }
    bool const leavesTop = steps.topmost == false;
    bool startWorker = false;
    {
        std::lock_guard lock(placements_->mutex);
        if (leavesTop) ++placements_->leavingTop[hwnd];
        auto [queue, fresh] = placements_->waiting.try_emplace(hwnd);
        queue->second.push_back({id, steps});
        ++placements_->underWay;
        startWorker = fresh;  // otherwise the window's worker takes it after the ones before
    }
    if (startWorker) {
        auto drain = std::make_unique<Drain>(Drain{placements_, hwnd});
        if (TrySubmitThreadpoolCallback(DrainOnWorker, drain.get(), nullptr)) {
            drain.release();
        } else {
            {
                std::lock_guard lock(placements_->mutex);
                placements_->waiting.erase(hwnd);
            }
            Finished(*placements_, PlacementOutcome{window, id, false, ReasonOf(GetLastError())}, leavesTop);
        }
    }
    return id;
}

std::vector<PlacementOutcome> Win32Desktop::PlacementsDone() {
    std::lock_guard lock(placements_->mutex);
    return std::exchange(placements_->done, {});
}

bool Win32Desktop::WaitForPlacements(int milliseconds) {
    std::unique_lock lock(placements_->mutex);
    if (placements_->ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                    [this] { return placements_->underWay == 0; })) {
        return true;
    }
    // Vigilon may end before a window that does not answer has taken its requests: the topmost
    // flag asked away is posted to the window's own thread, which takes it whenever it answers,
    // so a window does not stay on top of everything once nothing keeps it there.
    for (auto const& [window, requests] : placements_->leavingTop) {
        // waits-allowed: asynchronous, the window's thread carries it out
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
    }
    return false;
}

WindowPlacement Win32Desktop::ReadPlacement(WindowHandle window, PlacementParts parts) {
    // Read at every pass for every window with a place of its own, so it asks as little as it
    // can (under Wine each question is a round trip to the server): the show state and the
    // visibility are bits of the style, and a normal window is where it comes back to.
    HWND const hwnd = ToHwnd(window);
    WindowPlacement placement;
    SetLastError(ERROR_SUCCESS);
    LONG_PTR const style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (style == 0 && GetLastError() != ERROR_SUCCESS) return placement;  // gone
    placement.read = true;
    placement.visible = (style & WS_VISIBLE) != 0;  // a top-level window has no parent to hide it
    placement.state = (style & WS_MINIMIZE) != 0   ? WindowShowState::Minimised
                      : (style & WS_MAXIMIZE) != 0 ? WindowShowState::Maximised
                                                   : WindowShowState::Normal;
    placement.style = static_cast<std::uint32_t>(style);
    LONG_PTR exStyle = 0;
    if (parts.topmost || (parts.place && placement.state != WindowShowState::Normal)) {
        exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        placement.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    }
    if (!parts.place) return placement;
    RECT now{};
    if (!GetWindowRect(hwnd, &now)) return WindowPlacement{};
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

}  // namespace vigilon
