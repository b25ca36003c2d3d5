#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"

namespace vigilon {

// The top-level windows that have a caption, with their captions, read in one enumeration. Looking
// up many programs in one snapshot costs one round of caption reads instead of one per program.
class WindowSnapshot {
public:
    static WindowSnapshot Take(Desktop& desktop);

    // What FindWindowByPartialCaption would have found when the snapshot was taken: the first
    // window in enumeration order whose caption matches, or 0.
    WindowHandle Find(std::wstring_view searchText, std::int32_t matchKind, bool caseSensitive) const;

    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        WindowHandle window;
        std::wstring caption;
        std::wstring upperCaption;
    };
    std::vector<Entry> entries_;
};

}  // namespace vigilon
