#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// Appends `text` to `line` as one field of a tab-separated line: a tab or a line break inside it
// would split the line or its fields, so each becomes a space.
void AppendField(std::wstring& line, std::wstring_view text);

}  // namespace vigilon
