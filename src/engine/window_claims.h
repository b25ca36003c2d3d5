#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/watched_programs.h"
#include "platform/window_handle.h"

namespace vigilon {

// One window, one program. A window whose caption begins with the captions of several programs
// ("Crashy Board 2 - a.txt" for "Crashy Board" and "Crashy Board 2") goes to the program whose
// caption matches the most of it; of programs with the same caption, each takes a window of its
// own, and a window one of them holds is not another's.
//
// How it works: the captions are compared, upper-cased, only when one of them changed. Each
// program keeps the list of the others whose caption begins with its own (its rivals), usually
// empty, so that a window it finds is checked against those alone.
class WindowClaims {
public:
    // The window the program of that name holds now, 0 for none.
    using HolderOf = std::function<WindowHandle(std::wstring const& name)>;

    explicit WindowClaims(HolderOf holder) : holder_(std::move(holder)) {}

    // Takes the programs' captions as they are now: compared at every call, worked through again
    // only when one changed.
    void Update(WatchedPrograms const& programs);

    // True when the program named `name` may take `window`, whose caption, upper-cased, is
    // `upperCaption` and begins with the program's own: no rival's caption matches more of it,
    // and no rival of the same caption holds it.
    bool MayTake(std::wstring const& name, WindowHandle window, std::wstring_view upperCaption) const;

private:
    struct Claimant {
        std::wstring name;
        std::wstring caption;             // upper-cased
        std::vector<std::size_t> rivals;  // the others whose caption begins with this one's
    };

    HolderOf holder_;
    std::vector<std::pair<std::wstring, std::wstring>> read_;  // names and captions as last taken
    std::vector<Claimant> claimants_;
    std::map<std::wstring, std::size_t, std::less<>> byName_;
};

}  // namespace vigilon
