#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// Case conversion that does not depend on the C library's locale, so it gives the same result on
// every system: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters, which cover the
// Western, Central European, Cyrillic and Greek ANSI code pages.
wchar_t ToUpperChar(wchar_t c);
wchar_t ToLowerChar(wchar_t c);
std::wstring ToUpperText(std::wstring_view text);
std::wstring ToLowerText(std::wstring_view text);

}  // namespace vigilon
