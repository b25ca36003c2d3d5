#pragma once

#include <windows.h>

#include "platform/event_loop.h"

namespace vigilon {

class Win32EventLoop final : public EventLoop {
public:
    bool ProcessPendingEvents() override;
    void WaitForEvents(std::int32_t milliseconds) override;
    std::int64_t WallClockMilliseconds() override;
    std::int64_t MonotonicMilliseconds() override;
    std::int64_t AwakeMilliseconds() override;
    LocalTime LocalTimeNow() override;

    // Keyboard navigation (Tab, access keys, Enter, Escape) goes to this window's controls.
    void SetDialogWindow(HWND window) { dialogWindow_ = window; }

    // Handles one message the way every loop of this program does.
    void Dispatch(MSG& message);

private:
    HWND dialogWindow_ = nullptr;
};

}  // namespace vigilon
