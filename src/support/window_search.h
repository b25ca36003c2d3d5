#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/window_handle.h"

namespace vigilon {

// How a caption is compared with the search text; any other value matches nothing.
inline constexpr std::int32_t kMatchBeginsWith = 0;
inline constexpr std::int32_t kMatchContains = 1;
inline constexpr std::int32_t kMatchEquals = 2;
inline constexpr std::int32_t kMatchEndsWith = 3;

// Captions are read and compared on their first 255 characters.
inline constexpr std::size_t kCaptionBufferLength = 256;

// Reads a window's caption as the search compares it: at most 255 characters. Empty for a window
// without one.
std::wstring_view ReadCaption(Desktop& desktop, WindowHandle window, std::span<wchar_t, kCaptionBufferLength> buffer);

// True when `caption` matches `searchText` under `matchKind`; both are compared exactly as given.
// An empty caption never matches.
bool CaptionMatches(std::wstring_view caption, std::wstring_view searchText, std::int32_t matchKind);

// The first top-level window, in enumeration order, whose caption matches `searchText`, or 0.
// Visibility plays no part: hidden and minimised windows are found too. Without `caseSensitive`
// both texts are upper-cased before they are compared.
WindowHandle FindWindowByPartialCaption(Desktop& desktop, std::wstring_view searchText,
                                        std::int32_t matchKind, bool caseSensitive);

// The captions of the visible top-level windows of the process, in enumeration order; windows
// without a caption are left out.
std::vector<std::wstring> ProcessWindowCaptions(Desktop& desktop, std::uint32_t processId);

// Captions as a message lists them: "WineMine, Scores".
std::wstring CaptionList(std::vector<std::wstring> const& captions);

}  // namespace vigilon
