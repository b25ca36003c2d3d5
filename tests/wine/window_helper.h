#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "helper_process.h"

namespace vigilon::testing {

inline constexpr wchar_t kWindowHelperSwitch[] = L"--window-helper";

// Opens a top-level window captioned `caption`, then answers the events named after `base`:
// retitles the window on "<base>Retitle" and closes it and ends on "<base>Close", signalling
// "<base>Done" after each step. Run in the helper process that WindowHelper starts.
int RunWindowHelper(std::wstring const& caption, std::wstring const& base);

// Another process with a top-level window, for tests of what the desktop tells about it.
class WindowHelper {
public:
    explicit WindowHelper(std::wstring const& caption);
    WindowHelper(WindowHelper const&) = delete;
    WindowHelper& operator=(WindowHelper const&) = delete;
    ~WindowHelper();

    bool Started() const { return started_; }
    // Each waits until the helper has done it.
    bool Retitle() { return Step(retitle_); }
    bool Close() { return Step(close_); }

private:
    bool Step(HANDLE request);

    HANDLE done_ = nullptr;
    HANDLE retitle_ = nullptr;
    HANDLE close_ = nullptr;
    std::unique_ptr<HelperProcess> helper_;
    bool started_ = false;
};

}  // namespace vigilon::testing
