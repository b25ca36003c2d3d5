#include "support/caption_cache.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {

void CaptionCache::Update(Desktop& desktop) {
    // Read before enumerating, so that a change made meanwhile shows at the next update.
    std::uint64_t const changes = desktop.ChangeCount();
    bool const everyCaption = updatesSinceRefresh_ == 0;
    updatesSinceRefresh_ = (updatesSinceRefresh_ + 1) % refreshInterval_;
    if (!everyCaption && changes == changesSeen_ && ++quietUpdates_ < kQuietUpdates) return;
    quietUpdates_ = 0;
    changesSeen_ = changes;
    Read(desktop, everyCaption);
}

void CaptionCache::Refresh(Desktop& desktop) {
    changesSeen_ = desktop.ChangeCount();
    quietUpdates_ = 0;
    updatesSinceRefresh_ = 1 % refreshInterval_;
    Read(desktop, true);
}

void CaptionCache::Read(Desktop& desktop, bool everyCaption) {
    std::unordered_map<WindowHandle, std::size_t> known;
    for (std::size_t i = 0; i < entries_.size(); ++i) known.emplace(entries_[i].window, i);
    std::vector<Entry> current;
    current.reserve(entries_.size());
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        auto const seen = known.find(window);
        if (seen == known.end()) {
            current.push_back({window, {}, {}, 0});
        } else {
            current.push_back(std::move(entries_[seen->second]));
            current.back().updatesSeen = std::min(current.back().updatesSeen + 1, kYoungUpdates);
        }
        Entry& entry = current.back();
        if (everyCaption || entry.updatesSeen < kYoungUpdates) {
            std::wstring_view const caption = ReadCaption(desktop, window, buffer);
            entry.caption.assign(caption);
            entry.upperCaption = ToUpperText(caption);
        }
        return true;
    });
    entries_ = std::move(current);
}

WindowHandle CaptionCache::Find(std::wstring_view searchText, std::int32_t matchKind, bool caseSensitive,
                                Accept const& accept) const {
    std::wstring const search = caseSensitive ? std::wstring(searchText) : ToUpperText(searchText);
    for (Entry const& entry : entries_) {
        if (!CaptionMatches(caseSensitive ? entry.caption : entry.upperCaption, search, matchKind)) continue;
        if (!accept || accept(entry.window, entry.upperCaption)) return entry.window;
    }
    return 0;
}

}  // namespace vigilon
