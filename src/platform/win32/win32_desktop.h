#pragma once

#include <array>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/desktop.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

class Win32Desktop final : public Desktop {
public:
    Win32Desktop() = default;
    Win32Desktop(Win32Desktop const&) = delete;
    Win32Desktop& operator=(Win32Desktop const&) = delete;

    // `message` is posted to `window`, with PrivateMessageToken() in lParam, whenever a request to
    // place a window has ended: PlacementsDone has its outcome.
    void SetPlacementNotify(HWND window, UINT message);

    void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) override;
    // Counted by window-event hooks, installed on the first call; they are delivered while the
    // calling thread waits for messages.
    std::uint64_t ChangeCount() override;
    std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) override;
    std::size_t ReadWindowClass(WindowHandle window, std::span<wchar_t> buffer) override;
    bool IsMinimised(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    void ShowWindowAs(WindowHandle window, std::int32_t showCommand) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    bool ActivateProcess(std::uint32_t processId) override;
    void RequestClose(WindowHandle window) override;
    void PostClose(WindowHandle window) override;
    std::uint32_t ShellProcessId() override;
    std::vector<DisplayInfo> Displays() override;
    WindowPlacement ReadPlacement(WindowHandle window, PlacementParts parts) override;
    bool IsHung(WindowHandle window) override;
    // Each window's requests are carried out by a pool worker of its own while it has any, which
    // waits for the window's owner instead of the calling thread.
    std::uint64_t Place(WindowHandle window, PlacementSteps const& steps) override;
    std::vector<PlacementOutcome> PlacementsDone() override;
    bool WaitForPlacements(int milliseconds) override;

    struct PlacementRequest {
        std::uint64_t id = 0;
        PlacementSteps steps;
    };
    // What the desktop and the workers share; a worker may outlive the desktop.
    struct PlacementQueues {
        std::mutex mutex;
        std::condition_variable ended;  // a request ended
        // The requests not yet begun, by window; a window's entry is there while its worker runs.
        std::map<HWND, std::deque<PlacementRequest>> waiting;
        std::vector<PlacementOutcome> done;
        int underWay = 0;  // requests made and not yet ended
        // Windows asked to be on top no longer, by the requests not yet ended that ask it.
        std::map<HWND, int> leavingTop;
        HWND notify = nullptr;
        UINT message = 0;
    };

private:
    bool hooked_ = false;
    std::array<UniqueWinEventHook, 3> hooks_;
    std::shared_ptr<PlacementQueues> placements_ = std::make_shared<PlacementQueues>();
    std::uint64_t lastPlacement_ = 0;
};

}  // namespace vigilon
