#include "app/settings_file.h"

#include <array>

namespace vigilon {

std::wstring SettingsFile::ReadIniValue(std::wstring_view section, std::wstring_view key,
                                        std::wstring_view defaultValue) const {
    std::array<wchar_t, kIniValueBufferLength> buffer;
    buffer.fill(L' ');
    std::size_t const n = store_.ReadProfileValue(section, key, defaultValue, buffer, path_);
    if (n == 0) return {};
    return std::wstring(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
}

bool SettingsFile::WriteIniValue(std::wstring_view section, std::wstring_view key,
                                 std::wstring_view value) const {
    return store_.WriteProfileValue(section, key, value, path_);
}

}  // namespace vigilon
