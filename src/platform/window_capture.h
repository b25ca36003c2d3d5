#pragma once

#include <string_view>

#include "platform/window_handle.h"

namespace vigilon {

// Pictures of other programs' windows, saved as PNG files.
class WindowCapture {
public:
    virtual ~WindowCapture() = default;

    // Saves a PNG of `window` at its size to `path`. The window draws itself into the picture
    // unless `fromScreen` or it does not answer at once; then, as when it cannot draw, the
    // screen's pixels under it are taken, which never waits on the window's program (a hung one
    // would never draw). False when nothing was saved.
    virtual bool SavePng(WindowHandle window, std::wstring_view path, bool fromScreen) = 0;
};

}  // namespace vigilon
