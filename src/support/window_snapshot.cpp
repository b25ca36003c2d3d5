#include "support/window_snapshot.h"

#include <array>

#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {

WindowSnapshot WindowSnapshot::Take(Desktop& desktop) {
    WindowSnapshot snapshot;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        std::wstring_view const caption = ReadCaption(desktop, window, buffer);
        if (!caption.empty()) snapshot.entries_.push_back({window, std::wstring(caption), ToUpperText(caption)});
        return true;
    });
    return snapshot;
}

WindowHandle WindowSnapshot::Find(std::wstring_view searchText, std::int32_t matchKind, bool caseSensitive) const {
    std::wstring const search = caseSensitive ? std::wstring(searchText) : ToUpperText(searchText);
    for (Entry const& entry : entries_) {
        if (CaptionMatches(caseSensitive ? entry.caption : entry.upperCaption, search, matchKind)) return entry.window;
    }
    return 0;
}

}  // namespace vigilon
