#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/window_handle.h"

namespace vigilon {

// A rectangle in virtual-screen coordinates, as the displays are given.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(WindowRect const&) const = default;
};

// How a window is shown, apart from whether it is visible at all.
enum class WindowShowState : std::uint8_t { Normal, Minimised, Maximised };

// The parts of a window's placement to read besides its style (shown, minimised, maximised, its
// frame). Each part is another question to the system, under Wine a round trip to its server, so
// whoever reads at every pass asks only for what it decides on.
struct PlacementParts {
    bool topmost = false;
    bool place = false;  // where it is, and where it comes back to
};

// What is read of another program's window before anything about its place is changed; what was
// not asked for is left as it is here.
struct WindowPlacement {
    bool read = false;     // false: the window is gone, or its placement could not be read
    bool visible = false;
    WindowShowState state = WindowShowState::Normal;
    WindowRect rect;       // where it is now; where it comes back to when it is minimised
    WindowRect normal;     // where it comes back to when it is restored, in screen coordinates
    bool topmost = false;
    std::uint32_t style = 0;  // its window style (WS_CAPTION, WS_THICKFRAME, ...)

    bool operator==(WindowPlacement const&) const = default;
};

// What to change of a window's placement, done in this order: a show command, the frame (a new
// style, with `rect`) or only the place, a show command once it is there, and the topmost flag.
struct PlacementSteps {
    std::optional<std::int32_t> show;       // restores or maximises it first
    std::optional<std::uint32_t> style;     // the frame's bits of a new style, given together with `rect`
    std::optional<WindowRect> rect;         // where it goes
    std::optional<std::int32_t> showAfter;  // maximises it again once it has moved
    std::optional<bool> topmost;

    bool Empty() const { return !show && !style && !rect && !showAfter && !topmost; }
};

// How a request to place a window ended.
struct PlacementOutcome {
    WindowHandle window = 0;
    std::uint64_t request = 0;
    bool done = false;    // every step took
    std::wstring reason;  // why not, in words: "access denied (error 5)"
};

// Window styles, as the system defines them.
inline constexpr std::uint32_t kWsCaption = 0x00C0'0000;
inline constexpr std::uint32_t kWsThickFrame = 0x0004'0000;
// Caption, system menu, sizing border, minimise and maximise boxes: what a full-screen window drops.
inline constexpr std::uint32_t kWsOverlappedWindow = 0x00CF'0000;

}  // namespace vigilon
