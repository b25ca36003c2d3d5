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

std::wstring Win32FileSystem::WorkingDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD const n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n);  // n counts the terminator when the buffer was too small
    }
}

bool Win32FileSystem::RemoveFile(std::wstring_view path) {
    return DeleteFileW(std::wstring(path).c_str()) != 0;
}

}  // namespace vigilon
