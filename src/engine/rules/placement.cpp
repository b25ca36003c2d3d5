#include "engine/rules/placement.h"

#include <algorithm>

#include "support/text_case.h"

namespace vigilon {
namespace {

WindowRect AreaOf(DisplayInfo const& display) { return {display.left, display.top, display.width, display.height}; }

long long Overlap(WindowRect const& a, WindowRect const& b) {
    long long const width = std::min<long long>(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
    long long const height = std::min<long long>(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

DisplayInfo const* PrimaryOf(std::span<DisplayInfo const> displays) {
    auto const primary = std::find_if(displays.begin(), displays.end(), [](DisplayInfo const& d) { return d.primary; });
    if (primary != displays.end()) return &*primary;
    return displays.empty() ? nullptr : &displays.front();
}

struct Target {
    DisplayInfo const* display = nullptr;
    bool missing = false;
};

// The display the window belongs on: the one it is on when no monitor is named.
Target TargetOf(std::wstring const& monitor, DisplayInfo const* on, std::span<DisplayInfo const> displays) {
    if (monitor.empty()) return {on, false};
    std::wstring const wanted = ToUpperText(monitor);
    if (wanted == ToUpperText(kPrimaryMonitor)) return {PrimaryOf(displays), false};
    for (DisplayInfo const& display : displays) {
        if (ToUpperText(display.id) == wanted || ToUpperText(display.name) == wanted) return {&display, false};
    }
    return {PrimaryOf(displays), true};
}

// `target` is set whenever `move` is.
void Place(PlacementChanges& changes, WindowPlacement const& now, bool onScreen, bool move,
           DisplayInfo const* target, std::span<DisplayInfo const> displays) {
    bool const maximised = now.state == WindowShowState::Maximised;
    if (!move) {
        if (!onScreen) changes.show = now.state == WindowShowState::Minimised ? kSwRestore : kSwShow;
        return;
    }
    // Moved in its restored place; one that was maximised is maximised again there.
    if (!onScreen || maximised) changes.show = kSwShowNormal;
    changes.rect = MovedOnto(now.normal, DisplayOf(now.normal, displays), *target);
    if (maximised) changes.showAfter = kSwShowMaximized;
}

void Maximise(PlacementChanges& changes, WindowPlacement const& now, bool onScreen, bool move,
              DisplayInfo const* target, std::span<DisplayInfo const> displays) {
    if (!move) {
        if (!onScreen || now.state != WindowShowState::Maximised) changes.show = kSwShowMaximized;
        return;
    }
    // A window is maximised on the display it is on: restored, moved there, and maximised.
    if (!onScreen || now.state != WindowShowState::Normal) changes.show = kSwShowNormal;
    changes.rect = MovedOnto(now.normal, DisplayOf(now.normal, displays), *target);
    changes.showAfter = kSwShowMaximized;
}

void FillScreen(PlacementChanges& changes, WindowPlacement const& now, bool onScreen, DisplayInfo const& screen) {
    // Full screen is a normal window without caption or borders, the size of its display.
    if (!onScreen || now.state != WindowShowState::Normal) changes.show = kSwShowNormal;
    std::uint32_t const style = now.style & ~kWsOverlappedWindow;
    WindowRect const area = AreaOf(screen);
    WindowRect const there = changes.show ? now.normal : now.rect;
    if (style != now.style) changes.style = style;
    if (changes.style || there != area) changes.rect = area;
}

}  // namespace

std::int32_t StartShowCommand(RestartRules const& rules) {
    // Nothing to minimise: a program without a window is started as it starts itself.
    if (Windowless(rules)) return kSwShowNormal;
    switch (ParseShowAs(rules.show).value.value_or(ShowAs::Hidden)) {
    case ShowAs::Hidden: return kSwMinimize;
    case ShowAs::Maximized: return kSwShowMaximized;
    case ShowAs::Normal:
    case ShowAs::FullScreen: return kSwShowNormal;
    }
    return kSwMinimize;
}

DisplayInfo const* DisplayOf(WindowRect const& rect, std::span<DisplayInfo const> displays) {
    DisplayInfo const* best = nullptr;
    long long most = 0;
    for (DisplayInfo const& display : displays) {
        long long const overlap = Overlap(rect, AreaOf(display));
        if (overlap > most) {
            most = overlap;
            best = &display;
        }
    }
    return best;
}

WindowRect MovedOnto(WindowRect rect, DisplayInfo const* from, DisplayInfo const& to) {
    int const right = from == nullptr ? 0 : rect.left - from->left;
    int const down = from == nullptr ? 0 : rect.top - from->top;
    rect.width = std::min(rect.width, to.width);
    rect.height = std::min(rect.height, to.height);
    rect.left = to.left + std::clamp(right, 0, to.width - rect.width);
    rect.top = to.top + std::clamp(down, 0, to.height - rect.height);
    return rect;
}

PlacementChanges DecidePlacement(PlacementRule const& rule, WindowPlacement const& now,
                                 std::span<DisplayInfo const> displays) {
    PlacementChanges changes;
    if (!now.read || !rule.Any()) return changes;
    bool const onScreen = now.visible && now.state != WindowShowState::Minimised;
    // Out of sight is where a Hidden program's window belongs.
    if (!rule.KeepsShown() && !onScreen) return changes;
    DisplayInfo const* const on = DisplayOf(now.rect, displays);
    Target const target = TargetOf(rule.monitor, on, displays);
    bool const move = target.display != nullptr && target.display != on;
    switch (rule.show) {
    case ShowAs::Hidden:
    case ShowAs::Normal:
        Place(changes, now, onScreen, move, target.display, displays);
        break;
    case ShowAs::Maximized:
        Maximise(changes, now, onScreen, move, target.display, displays);
        break;
    case ShowAs::FullScreen: {
        // Without a display named, the display it is on, or the primary when it is on none.
        DisplayInfo const* const screen = target.display != nullptr ? target.display : PrimaryOf(displays);
        if (screen != nullptr) FillScreen(changes, now, onScreen, *screen);
        break;
    }
    }
    if (rule.onTop && !now.topmost) changes.topmost = true;
    if (changes.rect && target.display != nullptr && target.display != on) {
        changes.display = target.display->name;
        changes.displayMissing = target.missing;
    }
    return changes;
}

std::wstring DescribePlacement(PlacementChanges const& changes) {
    std::vector<std::wstring> parts;
    if (changes.show == kSwRestore || changes.show == kSwShow || changes.show == kSwShowNormal) parts.emplace_back(L"restored");
    if (changes.style) parts.emplace_back(L"full screen");
    if (!changes.display.empty()) {
        parts.push_back(L"moved to " + changes.display +
                        (changes.displayMissing ? L", the primary display, while its own is missing" : L""));
    } else if (changes.rect && !changes.style) {
        parts.emplace_back(L"moved");
    }
    if (changes.show == kSwShowMaximized || changes.showAfter == kSwShowMaximized) parts.emplace_back(L"maximised");
    if (changes.topmost == true) parts.emplace_back(L"on top");
    if (changes.topmost == false) parts.emplace_back(L"no longer on top");
    std::wstring text;
    for (std::wstring const& part : parts) text += (text.empty() ? L"" : L", ") + part;
    return text;
}

}  // namespace vigilon
