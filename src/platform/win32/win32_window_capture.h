#pragma once

#include "platform/window_capture.h"

namespace vigilon {

// PrintWindow with PW_RENDERFULLCONTENT, which also draws what the graphics card composes, or the
// screen's pixels; encoded by the Windows Imaging Component. Called on the user-interface thread,
// which has COM initialised.
class Win32WindowCapture final : public WindowCapture {
public:
    bool SavePng(WindowHandle window, std::wstring_view path, bool fromScreen) override;
};

}  // namespace vigilon
