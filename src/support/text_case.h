#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// Case conversion that does not depend on the C library's locale, so it gives the same result on
// every system: the simple case mappings of Unicode for every letter of the Basic Multilingual
// Plane (Latin, Greek, Cyrillic, Armenian, fullwidth forms and the rest). A letter whose other
// case is more than one character, such as the German sharp s, stays as it is.
wchar_t ToUpperChar(wchar_t c);
wchar_t ToLowerChar(wchar_t c);
std::wstring ToUpperText(std::wstring_view text);
std::wstring ToLowerText(std::wstring_view text);

// The two texts are the same but for case.
bool SameText(std::wstring_view a, std::wstring_view b);

}  // namespace vigilon
