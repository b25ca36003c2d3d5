#pragma once

#include <cstdint>
#include <string>

#include "platform/window_handle.h"

namespace vigilon {

enum class CaptureResult : std::uint8_t {
    Pending,   // the picture is being taken
    Saved,     // the PNG file was saved
    NotSaved,  // nothing was saved: no window on screen to picture, or the file could not be written
};

// Pictures of other programs' windows, saved as PNG files. Each is taken on a worker thread, so
// that a program that draws slowly, or never, holds up nobody: the caller asks for the result later.
class WindowCapture {
public:
    virtual ~WindowCapture() = default;

    // Begins saving a PNG of `window` at its size to `path`. The window draws itself into the
    // picture unless `fromScreen`; when it does not answer at once, or has not drawn within a
    // moment, the screen's pixels under it are taken instead, which never waits on the window's
    // program. Returns the picture's ticket, never 0.
    virtual std::uint32_t Begin(WindowHandle window, std::wstring const& path, bool fromScreen) = 0;

    // The picture's result. Once it is Saved or NotSaved the ticket is forgotten; an unknown
    // ticket is NotSaved.
    virtual CaptureResult Take(std::uint32_t ticket) = 0;

    // The picture is no longer wanted: the ticket is forgotten, and a file saved for it, now or
    // later, is deleted.
    virtual void Drop(std::uint32_t ticket) = 0;
};

}  // namespace vigilon
