#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// UTF-8 for text held as UTF-16 (or as UTF-32 where wchar_t is that wide). A surrogate without
// its partner becomes U+FFFD, so the result is always well-formed.
std::string ToUtf8(std::wstring_view text);

// True when `bytes` are text in UTF-8 that the system's profile functions would misread: they
// start with the UTF-8 mark (EF BB BF), or hold no mark but bytes above 0x7F that form valid UTF-8
// throughout. Plain ASCII and a UTF-16 file (with its mark) are not.
bool IsUtf8Text(std::string_view bytes);

}  // namespace vigilon
