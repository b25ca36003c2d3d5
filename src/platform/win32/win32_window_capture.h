#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/window_capture.h"
#include "platform/win32/pool_jobs.h"

namespace vigilon {

// Each picture is taken on a thread of the system's pool: PrintWindow with PW_RENDERFULLCONTENT,
// which also draws what the graphics card composes, or the screen's pixels; encoded by the Windows
// Imaging Component. PrintWindow waits for the window's program to draw, for ever if it hangs, so
// it runs on a thread of its own that the picture's thread waits for only kDrawMilliseconds: the
// screen's pixels are taken after that. A window whose drawing has not ended is not asked again
// until it has. The pool threads write only their own picture's state, which the user-interface
// thread reads; a picture that outlives its ticket (or the capture) keeps its state alive through
// its shared owner.
class Win32WindowCapture final : public WindowCapture {
public:
    // The window's own drawing (and the question before it) is awaited this long.
    static constexpr DWORD kDrawMilliseconds = 1000;
    // One picture, shared by the capture and the pool thread that takes it.
    struct Job;
    // The windows whose drawing has not ended, shared by every picture.
    struct Drawings;

    Win32WindowCapture();
    Win32WindowCapture(Win32WindowCapture const&) = delete;
    Win32WindowCapture& operator=(Win32WindowCapture const&) = delete;
    ~Win32WindowCapture() override;

    // Posts `message` to `window` whenever a picture is done, so that whoever waits for it looks at once.
    void SetNotifyWindow(HWND window, UINT message) {
        notifyWindow_ = window;
        notifyMessage_ = message;
    }

    std::uint32_t Begin(WindowHandle window, std::wstring const& path, bool fromScreen) override;
    CaptureResult Take(std::uint32_t ticket) override;
    void Drop(std::uint32_t ticket) override;

private:
    PoolJobs<Job, CaptureResult> jobs_;
    std::shared_ptr<Drawings> drawings_;
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
};

}  // namespace vigilon
