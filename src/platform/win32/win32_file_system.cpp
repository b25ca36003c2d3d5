#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <string>

namespace vigilon {

FileAttributes Win32FileSystem::QueryFileAttributes(std::wstring_view path) {
    FileAttributes result;
    result.attributes = GetFileAttributesW(std::wstring(path).c_str());
    // Read the error code at once, before any other call can replace it.
    if (result.attributes == INVALID_FILE_ATTRIBUTES) result.lastError = GetLastError();
    return result;
}

bool Win32FileSystem::SetWorkingDirectory(std::wstring_view path) {
    return SetCurrentDirectoryW(std::wstring(path).c_str()) != 0;
}

}  // namespace vigilon
