#pragma once

#include <string_view>

namespace vigilon {

// The text without its leading and trailing blanks (spaces only; tabs and other white space stay).
std::wstring_view TrimBlanks(std::wstring_view text);

// The text without its leading and trailing spaces and tabs, as a command line or a typed value
// is read.
std::wstring_view TrimSpacesAndTabs(std::wstring_view text);

}  // namespace vigilon
