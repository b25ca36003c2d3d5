#pragma once

#include <array>

#include "platform/desktop.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

class Win32Desktop final : public Desktop {
public:
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

private:
    bool hooked_ = false;
    std::array<UniqueWinEventHook, 3> hooks_;
};

}  // namespace vigilon
