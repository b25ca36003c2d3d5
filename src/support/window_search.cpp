#include "support/window_search.h"

#include <array>
#include <string>

#include "support/text_case.h"

namespace vigilon {

bool CaptionMatches(std::wstring_view caption, std::wstring_view searchText, std::int32_t matchKind) {
    if (caption.empty()) return false;
    switch (matchKind) {
    case kMatchBeginsWith: return caption.starts_with(searchText);
    case kMatchContains: return caption.find(searchText) != std::wstring_view::npos;
    case kMatchEquals: return caption == searchText;
    default: return false;
    }
}

WindowHandle FindWindowByPartialCaption(Desktop& desktop, std::wstring_view searchText,
                                        std::int32_t matchKind, bool caseSensitive) {
    std::wstring const search = caseSensitive ? std::wstring(searchText) : ToUpperText(searchText);
    WindowHandle found = 0;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        buffer.fill(L' ');
        std::size_t const n = desktop.ReadWindowCaption(window, buffer);
        if (n == 0) return true;
        std::wstring_view caption(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
        bool const match = caseSensitive ? CaptionMatches(caption, search, matchKind)
                                         : CaptionMatches(ToUpperText(caption), search, matchKind);
        if (match) found = window;
        return found == 0;
    });
    return found;
}

}  // namespace vigilon
