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
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                      std::wstring(value).c_str(), std::wstring(file).c_str()) != 0;
}

}  // namespace vigilon
