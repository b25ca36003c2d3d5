#pragma once

#include <optional>
#include <string_view>

namespace vigilon {

// The largest count the settings file may give: the table is sized count + 5 and its count is a
// signed 16-bit number.
inline constexpr int kMaxStoredCount = 32762;

// The numeric value of the text of the `Number` setting: its leading decimal number (blanks and
// tabs before it skipped, an optional sign, digits and an optional fraction), rounded to the
// nearest integer with halves going to the even neighbour. A text that does not start with a
// number counts as 0. A value that is negative or larger than kMaxStoredCount, which no saved file
// holds, gives nothing: it cannot be used, and taking it for 0 would lose the list.
std::optional<int> ParseProgramCount(std::wstring_view text);

}  // namespace vigilon
