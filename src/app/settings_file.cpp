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

std::optional<std::wstring> SettingsFile::FindIniValue(std::wstring_view section, std::wstring_view key) const {
    // No key gives the default back: a text no value holds.
    constexpr wchar_t kAbsent[] = L"\x01";
    std::wstring text = ReadIniValue(section, key, kAbsent);
    if (text == kAbsent) return std::nullopt;
    return text;
}

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The system reads a value without the blanks around it and without one pair of quotes that
// open and close it. A value that would lose either is written inside one more pair of double
// quotes, which the reading takes off again; any other value is written as it is.
std::wstring Protected(std::wstring_view value) {
    bool const blanksAround = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    bool const quoted =
        value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
    if (!blanksAround && !quoted) return std::wstring(value);
    return L"\"" + std::wstring(value) + L"\"";
}

}  // namespace

bool SettingsFile::RemoveIniValue(std::wstring_view section, std::wstring_view key) const {
    if (!FindIniValue(section, key)) return true;
    return store_.DeleteProfileValue(section, key, path_);
}

bool SettingsFile::WriteIniValue(std::wstring_view section, std::wstring_view key,
                                 std::wstring_view value) const {
    return store_.WriteProfileValue(section, key, Protected(value), path_);
}

}  // namespace vigilon
