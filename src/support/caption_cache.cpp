#include "support/caption_cache.h"

#include <array>

#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {

void CaptionCache::Update(Desktop& desktop) {
    bool const refresh = updatesSinceRefresh_ == 0;
    updatesSinceRefresh_ = (updatesSinceRefresh_ + 1) % refreshInterval_;
    std::unordered_map<WindowHandle, std::size_t> known;
    if (!refresh) {
        for (std::size_t i = 0; i < entries_.size(); ++i) known.emplace(entries_[i].window, i);
    }
    std::vector<Entry> current;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        auto const seen = known.find(window);
        if (seen != known.end()) {
            current.push_back(std::move(entries_[seen->second]));
        } else {
            std::wstring_view const caption = ReadCaption(desktop, window, buffer);
            current.push_back({window, std::wstring(caption), ToUpperText(caption)});
        }
        return true;
    });
    entries_ = std::move(current);
}

WindowHandle CaptionCache::Find(std::wstring_view searchText, std::int32_t matchKind, bool caseSensitive) const {
    std::wstring const search = caseSensitive ? std::wstring(searchText) : ToUpperText(searchText);
    for (Entry const& entry : entries_) {
        if (CaptionMatches(caseSensitive ? entry.caption : entry.upperCaption, search, matchKind)) return entry.window;
    }
    return 0;
}

}  // namespace vigilon
