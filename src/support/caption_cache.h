#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/desktop.h"

namespace vigilon {

// The top-level windows in enumeration order with their captions, kept from one watch pass to the
// next. Each update enumerates the windows once but reads only the captions of windows it has not
// seen before; every caption is read again on every `refreshInterval`-th update, so a caption that
// changes on a window already seen is noticed within that many updates. Under Wine every caption
// read is a round trip to the server, and a desktop holds hundreds of windows.
class CaptionCache {
public:
    explicit CaptionCache(int refreshInterval = 10) : refreshInterval_(refreshInterval) {}

    void Update(Desktop& desktop);

    // The first window in enumeration order whose caption, as last read, matches; or 0.
    WindowHandle Find(std::wstring_view searchText, std::int32_t matchKind, bool caseSensitive) const;

    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        WindowHandle window;
        std::wstring caption;
        std::wstring upperCaption;
    };
    std::vector<Entry> entries_;
    int refreshInterval_;
    int updatesSinceRefresh_ = 0;
};

}  // namespace vigilon
