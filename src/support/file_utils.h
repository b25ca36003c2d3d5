#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vigilon {

// True when `path` names an existing file: not a folder. A file that another process holds open
// without sharing, so that even its attributes cannot be read, counts as existing.
bool FileExists(FileSystem& files, std::wstring_view path);

// The path, ending in a backslash where one is needed before a file name: an empty path, or one
// that ends in a colon or a backslash, comes back unchanged.
std::wstring AddBackslash(std::wstring_view path);

// Makes `path` the current directory; a path that cannot be entered leaves it unchanged.
void ChangeDirectory(FileSystem& files, std::wstring_view path);

}  // namespace vigilon
