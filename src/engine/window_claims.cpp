#include "engine/window_claims.h"

#include "app/caption_overlaps.h"
#include "support/text_case.h"

namespace vigilon {

void WindowClaims::Update(WatchedPrograms const& programs) {
    bool same = read_.size() == static_cast<std::size_t>(programs.Count());
    for (int i = 1; same && i <= programs.Count(); ++i) {
        auto const& [name, caption] = read_[static_cast<std::size_t>(i - 1)];
        same = name == programs[i].name && caption == programs[i].caption;
    }
    if (same) return;
    read_.clear();
    claimants_.clear();
    byName_.clear();
    for (int i = 1; i <= programs.Count(); ++i) {
        read_.emplace_back(programs[i].name, programs[i].caption);
        claimants_.push_back({programs[i].name, ToUpperText(programs[i].caption), {}});
        byName_.emplace(programs[i].name, claimants_.size() - 1);
    }
    for (CaptionOverlap const& overlap : CaptionOverlaps(programs)) {
        auto const shorter = static_cast<std::size_t>(overlap.shorter - 1);
        auto const longer = static_cast<std::size_t>(overlap.longer - 1);
        claimants_[shorter].rivals.push_back(longer);
        if (overlap.same) claimants_[longer].rivals.push_back(shorter);
    }
}

bool WindowClaims::MayTake(std::wstring const& name, WindowHandle window, std::wstring_view upperCaption) const {
    auto const found = byName_.find(name);
    if (found == byName_.end()) return true;
    Claimant const& self = claimants_[found->second];
    for (std::size_t const index : self.rivals) {
        Claimant const& rival = claimants_[index];
        if (!upperCaption.starts_with(rival.caption)) continue;
        // A longer caption matches more of the window; the same caption holding it was there first.
        if (rival.caption.size() > self.caption.size() || holder_(rival.name) == window) return false;
    }
    return true;
}

}  // namespace vigilon
