#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vigilon {

// The halves of a character beyond U+FFFF in UTF-16: a high surrogate, then a low one.
inline bool IsHighSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(std::uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// UTF-8 for text held as UTF-16 (or as UTF-32 where wchar_t is that wide). A surrogate without
// its partner becomes U+FFFD, so the result is always well-formed.
std::string ToUtf8(std::wstring_view text);

}  // namespace vigilon
