#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "platform/desktop.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

class Win32Desktop final : public Desktop {
public:
    Win32Desktop() = default;
    Win32Desktop(Win32Desktop const&) = delete;
    Win32Desktop& operator=(Win32Desktop const&) = delete;
    // Waits a moment for new frames still being given to windows.
    ~Win32Desktop() override;

    void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) override;
    // Counted by window-event hooks, installed on the first call; they are delivered while the
    // calling thread waits for messages.
    std::uint64_t ChangeCount() override;
    std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) override;
    bool IsMinimised(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    void ShowWindowAs(WindowHandle window, std::int32_t showCommand) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    bool ActivateProcess(std::uint32_t processId) override;
    void RequestClose(WindowHandle window) override;
    void PostClose(WindowHandle window) override;
    std::uint32_t ShellProcessId() override;
    std::vector<DisplayInfo> Displays() override;
    WindowPlacement ReadPlacement(WindowHandle window) override;
    void MoveWindowTo(WindowHandle window, WindowRect const& rect) override;
    void SetWindowFrame(WindowHandle window, std::uint32_t style, WindowRect const& rect) override;
    void SetTopmost(WindowHandle window, bool topmost) override;

private:
    bool hooked_ = false;
    std::array<UniqueWinEventHook, 3> hooks_;
    // The longest Vigilon waits at its end for frames still being given.
    static constexpr unsigned kFrameWaitMilliseconds = 2000;
    // Frames handed to workers and not yet given; shared with them, as one may outlive the desktop.
    std::shared_ptr<std::atomic<int>> framesInFlight_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace vigilon
