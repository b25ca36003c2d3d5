#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/restart_rules.h"
#include "platform/desktop.h"
#include "platform/display.h"
#include "platform/window_placement.h"

namespace vigilon {

// How and where a program's window is kept, from its Show, Monitor and OnTop keys. The default,
// Hidden on no display in particular and not on top, changes nothing.
struct PlacementRule {
    ShowAs show = ShowAs::Hidden;
    std::wstring monitor;  // empty: where it is; kPrimaryMonitor; or a display's identity or name
    bool onTop = false;

    // Normal, Maximized and FullScreen windows are kept on screen: never hidden when minimised.
    bool KeepsShown() const { return show != ShowAs::Hidden; }
    bool Any() const { return KeepsShown() || !monitor.empty() || onTop; }
    // What of a window's placement the rule decides on: where it is only for a display named or
    // full screen; the topmost flag only when it is kept on top.
    PlacementParts Needs() const { return {onTop, !monitor.empty() || show == ShowAs::FullScreen}; }
    bool operator==(PlacementRule const&) const = default;
};

// How the shell is asked to start the program: minimised when Hidden (or Show cannot be used),
// otherwise in its state (a full-screen window starts normal and is made full screen once found).
std::int32_t StartShowCommand(RestartRules const& rules);

// The least that puts a window where its rule wants it, in the order it is done. Nothing at all
// when the window is where it belongs.
struct PlacementChanges : PlacementSteps {
    std::wstring display;         // the name of the display it is moved to, for the history
    bool displayMissing = false;  // the display it belongs on is not attached: the primary instead
};

// Decides from the window's placement as read (at least the parts rule.Needs() says), and the
// displays attached now. A window that could not be read is left as it is. A Hidden program's
// window is only moved or put on top while it is on screen.
PlacementChanges DecidePlacement(PlacementRule const& rule, WindowPlacement const& now,
                                 std::span<DisplayInfo const> displays);

// The words the history gives the changes: "restored, moved to \\.\DISPLAY2, on top".
std::wstring DescribePlacement(PlacementChanges const& changes);

// The display that holds the largest part of `rect`; none when it is on no display.
DisplayInfo const* DisplayOf(WindowRect const& rect, std::span<DisplayInfo const> displays);

// `rect` moved from display `from` (none: from nowhere) onto `to`: the same distance from the
// display's top left corner, no larger than the display, and wholly on it.
WindowRect MovedOnto(WindowRect rect, DisplayInfo const* from, DisplayInfo const& to);

}  // namespace vigilon
