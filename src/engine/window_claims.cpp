#include "engine/window_claims.h"

#include <tuple>
#include <utility>

#include "support/window_search.h"

namespace vigilon {
namespace {

// How closely a way of comparing captions ties a caption to the program: the whole caption most,
// a text found anywhere in it least.
int ModeStrength(std::int32_t kind) {
    return kind == kMatchEquals ? 2 : kind == kMatchContains ? 0 : 1;  // Start and End alike
}

// How strong a program's claim on a window its match takes: the length of its caption, then its
// way of comparing (Exact, then Start or End, then Contains), then how many of Class and Process
// narrow it.
std::tuple<std::size_t, int, int> Strength(WindowMatch const& match) {
    return {match.caption.size(), ModeStrength(match.captionKind), match.Narrowing()};
}

}  // namespace

void WindowClaims::Update(WatchedPrograms const& programs) {
    std::vector<Texts> texts;
    texts.reserve(static_cast<std::size_t>(programs.Count()));
    for (int i = 1; i <= programs.Count(); ++i) {
        WatchedProgram const& record = programs[i];
        texts.push_back({record.name, record.caption, record.rules.process, record.rules.windowClass,
                         record.rules.captionMatch, record.rules.window});
    }
    if (texts == read_) return;
    read_ = std::move(texts);
    claimants_.clear();
    byName_.clear();
    for (int i = 1; i <= programs.Count(); ++i) {
        // A program without a window takes none, whatever caption it keeps for the day it shows one.
        std::optional<WindowMatch> match;
        if (!Windowless(programs[i].rules)) match = WindowMatchOf(programs[i], fullPath_);
        claimants_.push_back({programs[i].name, std::move(match), {}});
        byName_.emplace(programs[i].name, claimants_.size() - 1);
    }
    for (std::size_t a = 0; a < claimants_.size(); ++a) {
        for (std::size_t b = a + 1; b < claimants_.size(); ++b) {
            if (!claimants_[a].match || !claimants_[b].match) continue;
            if (!MayShareWindow(*claimants_[a].match, *claimants_[b].match)) continue;
            claimants_[a].rivals.push_back(b);
            claimants_[b].rivals.push_back(a);
        }
    }
}

WindowMatch const* WindowClaims::MatchOf(std::wstring_view name) const {
    auto const found = byName_.find(name);
    if (found == byName_.end() || !claimants_[found->second].match) return nullptr;
    return &*claimants_[found->second].match;
}

bool WindowClaims::MayTake(std::wstring const& name, WindowHandle window, std::wstring_view upperCaption,
                           Fits const& fits) const {
    auto const found = byName_.find(name);
    if (found == byName_.end()) return true;
    Claimant const& self = claimants_[found->second];
    if (!self.match) return false;
    for (std::size_t const index : self.rivals) {
        Claimant const& rival = claimants_[index];
        auto const rivalStrength = Strength(*rival.match);
        auto const ownStrength = Strength(*self.match);
        if (rivalStrength < ownStrength || !CaptionFits(*rival.match, upperCaption)) continue;
        // A stronger claim takes it; of equal ones, the program holding it was there first.
        bool const stronger = ownStrength < rivalStrength;
        if ((stronger || holder_(rival.name) == window) && fits(*rival.match)) return false;
    }
    return true;
}

}  // namespace vigilon
