#include "support/caption_cache.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

// Class names are at most 256 characters.
constexpr std::size_t kClassBufferLength = 257;

}  // namespace

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
            current.push_back({window, {}, {}, 0, {}, 0});
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
    indexed_ = false;
}

CaptionCache::Entry* CaptionCache::EntryOf(WindowHandle window) {
    if (!indexed_) {
        index_.clear();
        for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].window, i);
        indexed_ = true;
    }
    auto const found = index_.find(window);
    return found == index_.end() ? nullptr : &entries_[found->second];
}

bool CaptionCache::Holds(WindowHandle window) { return EntryOf(window) != nullptr; }

std::wstring CaptionCache::UpperClass(Desktop& desktop, WindowHandle window) {
    Entry* const entry = EntryOf(window);
    if (entry != nullptr && !entry->upperClass.empty()) return entry->upperClass;
    std::array<wchar_t, kClassBufferLength> buffer{};
    std::size_t const n = desktop.ReadWindowClass(window, buffer);
    std::wstring upper = ToUpperText(std::wstring_view(buffer.data(), std::min(n, buffer.size() - 1)));
    if (entry != nullptr) entry->upperClass = upper;
    return upper;
}

std::uint32_t CaptionCache::ProcessId(Desktop& desktop, WindowHandle window) {
    Entry* const entry = EntryOf(window);
    if (entry != nullptr && entry->processId != 0) return entry->processId;
    std::uint32_t const processId = desktop.WindowProcessId(window);
    if (entry != nullptr) entry->processId = processId;
    return processId;
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
