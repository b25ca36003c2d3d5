#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// The leading part of `path` up to and including its last backslash; for a path without one that
// starts with a drive and a colon, the drive and the colon; otherwise empty.
std::wstring DirectoryOf(std::wstring_view path);

// The parameter text a program is started with: the prefix (trimmed) between blanks, the command
// in double quotes, and a blank and the postfix (trimmed); each part only when it is not empty.
std::wstring LaunchParameters(std::wstring_view prefix, std::wstring_view command,
                              std::wstring_view postfix);

}  // namespace vigilon
