#include "platform/win32/win32_profile_store.h"

#include <windows.h>

#include <string>

namespace vigilon {

std::size_t Win32ProfileStore::ReadProfileValue(std::wstring_view section, std::wstring_view key,
                                                 std::wstring_view defaultValue,
                                                 std::span<wchar_t> buffer, std::wstring_view file) {
    if (buffer.empty()) return 0;
    DWORD const n = GetPrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                             std::wstring(defaultValue).c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()),
                                             std::wstring(file).c_str());
    return n;
}

bool Win32ProfileStore::WriteProfileValue(std::wstring_view section, std::wstring_view key,
                                           std::wstring_view value, std::wstring_view file) {
    // The profile functions can report success for a file they could not write: some systems keep
    // the change in a cache and fail only when that is flushed. Opening the file for writing first
    // tells the truth for a read-only or locked file and an unwritable folder.
    std::wstring const path(file);
    DWORD const attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;  // Windows refuses to write either; said here for systems that might not
    }
    HANDLE const probe = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    CloseHandle(probe);
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                      std::wstring(value).c_str(), path.c_str()) != 0;
}

bool Win32ProfileStore::CanReadProfile(std::wstring_view file) {
    HANDLE const probe = CreateFileW(std::wstring(file).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return true;
    }
    DWORD const error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace vigilon
