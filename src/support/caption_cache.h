#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/desktop.h"

namespace vigilon {

// The top-level windows in enumeration order with their captions, kept from one watch pass to the
// next. Under Wine every caption read is a round trip to the server, and a desktop holds hundreds
// of windows, so an update enumerates the windows once but reads only the captions that may have
// changed: those of windows it has not seen before, and of windows seen on fewer than
// kYoungUpdates updates, since programs often retitle a window just after opening it. Every
// `refreshInterval`-th update, and every Refresh, reads all captions again. While the desktop
// reports no change at all, an update enumerates nothing, but never more than kQuietUpdates
// times in a row.
class CaptionCache {
public:
    static constexpr int kYoungUpdates = 5;
    static constexpr int kQuietUpdates = 10;

    explicit CaptionCache(int refreshInterval = 30) : refreshInterval_(refreshInterval) {}

    void Update(Desktop& desktop);
    // Enumerates the windows and reads every caption now.
    void Refresh(Desktop& desktop);

    // Whether a window whose caption matches may be taken: it gets the window and its caption as
    // last read, upper-cased.
    using Accept = std::function<bool(WindowHandle, std::wstring_view)>;

    // The first window in enumeration order whose caption, as last read, matches, and that
    // `accept` (when given) takes; or 0.
    WindowHandle Find(std::wstring_view searchText, std::int32_t matchKind, bool caseSensitive,
                      Accept const& accept = {}) const;

    std::size_t Size() const { return entries_.size(); }

    // A window's class name, upper-cased, and the id of its process. Neither changes in a
    // window's life, so for a window the cache holds each is asked of the system once, when first
    // wanted (only for a window whose caption matched), and kept while the window is there; for
    // another window each is asked now. Empty, or 0, when it cannot be read.
    std::wstring UpperClass(Desktop& desktop, WindowHandle window);
    std::uint32_t ProcessId(Desktop& desktop, WindowHandle window);
    // True when the window was there at the last update.
    bool Holds(WindowHandle window);

private:
    struct Entry {
        WindowHandle window;
        std::wstring caption;
        std::wstring upperCaption;
        int updatesSeen;
        std::wstring upperClass;     // empty until read
        std::uint32_t processId = 0;  // 0 until read
    };
    void Read(Desktop& desktop, bool everyCaption);
    // The window's entry, or null; the index is made on the first asking after a reading.
    Entry* EntryOf(WindowHandle window);

    std::vector<Entry> entries_;
    std::unordered_map<WindowHandle, std::size_t> index_;
    bool indexed_ = false;
    int refreshInterval_;
    int updatesSinceRefresh_ = 0;
    int quietUpdates_ = 0;
    std::uint64_t changesSeen_ = 0;
};

}  // namespace vigilon
