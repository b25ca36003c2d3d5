#include "app/caption_overlaps.h"

#include <optional>
#include <string>

#include "app/window_match.h"
#include "support/window_search.h"

namespace vigilon {

namespace {

// The program's match as the warning weighs it: nothing for one that takes no window (a program
// without one, an empty caption, keys that cannot be used), nor for one whose caption is compared
// other than by its start, which the warning's words do not describe.
std::optional<WindowMatch> StartMatchOf(WatchedProgram const& record) {
    if (Windowless(record.rules)) return std::nullopt;
    std::optional<WindowMatch> match = WindowMatchOf(record);
    if (!match || match->caption.empty() || match->captionKind != kMatchBeginsWith) return std::nullopt;
    return match;
}

}  // namespace

std::vector<CaptionOverlap> CaptionOverlaps(WatchedPrograms const& programs) {
    std::vector<std::optional<WindowMatch>> matches;
    matches.reserve(static_cast<std::size_t>(programs.Count()));
    for (int i = 1; i <= programs.Count(); ++i) matches.push_back(StartMatchOf(programs[i]));
    std::vector<CaptionOverlap> overlaps;
    for (int a = 1; a <= programs.Count(); ++a) {
        std::optional<WindowMatch> const& first = matches[static_cast<std::size_t>(a - 1)];
        if (!first) continue;
        for (int b = a + 1; b <= programs.Count(); ++b) {
            std::optional<WindowMatch> const& second = matches[static_cast<std::size_t>(b - 1)];
            // Programs told apart by their class or their process's file never compete for a window.
            if (!second || !MayShareWindow(*first, *second)) continue;
            if (first->caption == second->caption) {
                overlaps.push_back({a, b, true});
            } else if (second->caption.starts_with(first->caption)) {
                overlaps.push_back({a, b, false});
            } else if (first->caption.starts_with(second->caption)) {
                overlaps.push_back({b, a, false});
            }
        }
    }
    return overlaps;
}

}  // namespace vigilon
