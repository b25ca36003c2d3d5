#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/shell.h"

namespace vigilon {

// The path without one trailing backslash: 'C:\Tools\' becomes 'C:\Tools' and 'C:\' becomes 'C:'.
std::wstring StripBackslash(std::wstring_view path);

// The path of special folder `csidl` followed by a backslash, or empty.
std::wstring GetSpecialFolderPath(Shell& shell, std::int32_t csidl, WindowHandle owner = 0);

// Shows the folder-browse dialog opened on `initialPath` (one trailing backslash dropped) and
// returns the chosen path, or empty when the user cancelled or chose an item with no file-system
// path. The current directory is the same afterwards, wherever the user browsed.
std::wstring BrowseForFolder(Shell& shell, FileSystem& files, WindowHandle owner,
                             std::wstring_view prompt, std::wstring_view initialPath,
                             bool includeFiles);

}  // namespace vigilon
