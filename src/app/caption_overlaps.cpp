#include "app/caption_overlaps.h"

#include <string>

#include "support/text_case.h"

namespace vigilon {

std::vector<CaptionOverlap> CaptionOverlaps(WatchedPrograms const& programs) {
    std::vector<std::wstring> upper;
    upper.reserve(static_cast<std::size_t>(programs.Count()));
    // A program without a window takes no window, whatever its caption.
    for (int i = 1; i <= programs.Count(); ++i) {
        upper.push_back(Windowless(programs[i].rules) ? std::wstring() : ToUpperText(programs[i].caption));
    }
    std::vector<CaptionOverlap> overlaps;
    for (int a = 1; a <= programs.Count(); ++a) {
        std::wstring const& first = upper[static_cast<std::size_t>(a - 1)];
        if (first.empty()) continue;
        for (int b = a + 1; b <= programs.Count(); ++b) {
            std::wstring const& second = upper[static_cast<std::size_t>(b - 1)];
            if (second.empty()) continue;
            if (first == second) {
                overlaps.push_back({a, b, true});
            } else if (second.starts_with(first)) {
                overlaps.push_back({a, b, false});
            } else if (first.starts_with(second)) {
                overlaps.push_back({b, a, false});
            }
        }
    }
    return overlaps;
}

}  // namespace vigilon
