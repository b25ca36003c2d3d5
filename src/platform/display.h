#pragma once

#include <string>

namespace vigilon {

// One display attached to the desktop, in virtual-screen coordinates.
struct DisplayInfo {
    std::wstring id;    // stays the same while the display is attached again or moved in the list
    std::wstring name;  // what the system calls it ("\\.\DISPLAY2"), for people
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool primary = false;

    bool operator==(DisplayInfo const&) const = default;
};

}  // namespace vigilon
