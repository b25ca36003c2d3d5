#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/watched_programs.h"
#include "app/window_match.h"
#include "platform/window_handle.h"

namespace vigilon {

// One window, one program. A window that several programs' matches take ("Crashy Board 2 - a.txt"
// for "Crashy Board" and "Crashy Board 2") goes to the program whose caption matches the most of
// it; at the same length, to the one whose caption is compared more closely (Exact, then Start or
// End, then Contains), then to the one narrowed by more of Class and Process; of programs alike in
// both, each takes a window of its own, and a window one of them holds is not another's.
//
// How it works: the programs' matches are worked out only when one of their texts changed. Each
// program keeps the list of the others that could match a window of its (its rivals: with
// captions matched from the start, those whose caption begins with its own or the other way
// round; programs whose classes or processes differ never share one), usually empty, so that a
// window it finds is checked against those alone.
class WindowClaims {
public:
    // The window the program of that name holds now, 0 for none.
    using HolderOf = std::function<WindowHandle(std::wstring const& name)>;
    // Whether the window's class and process are those `match` asks for.
    using Fits = std::function<bool(WindowMatch const& match)>;

    // `fullPath` writes a Process path out long, once each time the keys change.
    WindowClaims(HolderOf holder, FullPathOf fullPath) : holder_(std::move(holder)), fullPath_(std::move(fullPath)) {}

    // Takes the programs' matching keys as they are now: compared at every call, worked through
    // again only when one changed.
    void Update(WatchedPrograms const& programs);

    // The match of the program named `name` as last taken; null when it has none (a key that
    // cannot be used) or is not known.
    WindowMatch const* MatchOf(std::wstring_view name) const;

    // True when the program named `name` may take `window`, whose caption, upper-cased, is
    // `upperCaption` and which its own match takes: no rival that `fits` the window and whose
    // caption also matches has a stronger claim, and no rival of an equal claim holds it.
    bool MayTake(std::wstring const& name, WindowHandle window, std::wstring_view upperCaption, Fits const& fits) const;

private:
    struct Claimant {
        std::wstring name;
        std::optional<WindowMatch> match;
        std::vector<std::size_t> rivals;
    };
    // The texts a program's match is made of, as last taken.
    struct Texts {
        std::wstring name, caption, process, windowClass, captionMatch, window;
        bool operator==(Texts const&) const = default;
    };

    HolderOf holder_;
    FullPathOf fullPath_;
    std::vector<Texts> read_;
    std::vector<Claimant> claimants_;
    std::map<std::wstring, std::size_t, std::less<>> byName_;
};

}  // namespace vigilon
