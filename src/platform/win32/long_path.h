#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// The full path of `path` (taken from the current directory when relative) with every short (8.3)
// name in it written out long, as far as the file exists; the full path alone otherwise, and always
// for a path on a share (\\server\...), which is not read. Reads the disk: not for a loop.
std::wstring LongFullPathOf(std::wstring_view path);

}  // namespace vigilon
