#include "support/window_search.h"

#include <algorithm>
#include <array>
#include <string>

#include "support/text_case.h"

namespace vigilon {

namespace {

std::wstring_view WithoutTrailingBlanks(std::wstring_view text) {
    std::size_t const last = text.find_last_not_of(L" \t");
    return last == std::wstring_view::npos ? std::wstring_view() : text.substr(0, last + 1);
}

}  // namespace

bool CaptionMatches(std::wstring_view caption, std::wstring_view searchText, std::int32_t matchKind) {
    if (caption.empty()) return false;
    switch (matchKind) {
    case kMatchBeginsWith: return caption.starts_with(searchText);
    case kMatchContains: return caption.find(searchText) != std::wstring_view::npos;
    // Blanks some programs leave at the end of their caption are not part of its text.
    case kMatchEquals: return WithoutTrailingBlanks(caption) == searchText;
    case kMatchEndsWith: return WithoutTrailingBlanks(caption).ends_with(searchText);
    default: return false;
    }
}

std::wstring_view ReadCaption(Desktop& desktop, WindowHandle window, std::span<wchar_t, kCaptionBufferLength> buffer) {
    std::fill(buffer.begin(), buffer.end(), L' ');
    std::size_t const n = desktop.ReadWindowCaption(window, buffer);
    return std::wstring_view(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
}

WindowHandle FindWindowByPartialCaption(Desktop& desktop, std::wstring_view searchText,
                                        std::int32_t matchKind, bool caseSensitive) {
    std::wstring const search = caseSensitive ? std::wstring(searchText) : ToUpperText(searchText);
    WindowHandle found = 0;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        std::wstring_view const caption = ReadCaption(desktop, window, buffer);
        if (caption.empty()) return true;
        bool const match = caseSensitive ? CaptionMatches(caption, search, matchKind)
                                         : CaptionMatches(ToUpperText(caption), search, matchKind);
        if (match) found = window;
        return found == 0;
    });
    return found;
}

std::vector<std::wstring> ProcessWindowCaptions(Desktop& desktop, std::uint32_t processId) {
    std::vector<std::wstring> captions;
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    desktop.EnumerateTopLevelWindows([&](WindowHandle window) {
        if (desktop.WindowProcessId(window) != processId || !desktop.IsVisible(window)) return true;
        std::wstring_view const caption = ReadCaption(desktop, window, buffer);
        if (!caption.empty()) captions.emplace_back(caption);
        return true;
    });
    return captions;
}

std::wstring CaptionList(std::vector<std::wstring> const& captions) {
    std::wstring text;
    for (std::wstring const& caption : captions) text += (text.empty() ? L"" : L", ") + caption;
    return text;
}

}  // namespace vigilon
