#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// UTF-8 for text held as UTF-16 (or as UTF-32 where wchar_t is that wide). A surrogate without
// its partner becomes U+FFFD, so the result is always well-formed.
std::string ToUtf8(std::wstring_view text);

}  // namespace vigilon
