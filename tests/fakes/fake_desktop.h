#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace vigilon::testing {

struct FakeWindow {
    WindowHandle handle = 0;
    std::wstring caption;
    bool visible = true;
    bool minimised = false;
    std::uint32_t processId = 0;
    bool child = false;  // a control inside another window: never enumerated
};

// A desktop of windows, enumerated in the order they were added.
class FakeDesktop final : public Desktop {
public:
    // Adds a top-level window and returns its handle.
    WindowHandle Add(std::wstring caption, bool visible = true, bool minimised = false);
    WindowHandle AddChild(std::wstring caption);
    void Remove(WindowHandle window);
    FakeWindow* Find(WindowHandle window);

    // Off: every ChangeCount reading differs, as on a system that cannot tell. On: the count
    // grows only with `changes`, which Add, Remove and ShowWindowAs bump, and a test bumps after
    // editing a window.
    bool tracksChanges = false;
    std::uint64_t changes = 0;
    int enumerations = 0;
    int captionReads = 0;
    std::vector<std::uint32_t> activatedProcesses;
    std::vector<WindowHandle> closeRequests;
    // Windows that stay open when asked to close (a program that asks to save, or has hung).
    std::vector<WindowHandle> refuseClose;

    void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::uint64_t ChangeCount() override { return tracksChanges ? changes : ++changes; }
    std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) override;
    bool IsMinimised(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    void ShowWindowAs(WindowHandle window, std::int32_t showCommand) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    bool ActivateProcess(std::uint32_t processId) override;
    void RequestClose(WindowHandle window) override;

private:
    std::vector<FakeWindow> windows_;
    WindowHandle next_ = 0x1000;
};

}  // namespace vigilon::testing
