#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "helper_process.h"
#include "platform/win32/win32_owners.h"

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
    bool Retitle() { return Step(retitle_.Get()); }
    bool Close() { return Step(close_.Get()); }

private:
    bool Step(HANDLE request);

    UniqueKernelHandle done_;
    UniqueKernelHandle retitle_;
    UniqueKernelHandle close_;
    std::unique_ptr<HelperProcess> helper_;  // ends before the events are closed
    bool started_ = false;
};

}  // namespace vigilon::testing
