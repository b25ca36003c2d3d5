#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "platform/window_handle.h"

namespace vigilon {

// The top-level windows of the desktop, whichever process owns them.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Calls `visit` once for each top-level window, in the system's enumeration order, until it
    // returns false. Child windows are not visited.
    virtual void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) = 0;

    // Copies at most buffer.size() - 1 characters of the window's caption and a terminator into
    // `buffer`. Returns the number of characters copied: 0 for a window without a caption.
    virtual std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) = 0;
};

}  // namespace vigilon
