#include "app/settings_file.h"

#include <algorithm>
#include <vector>

namespace vigilon {

std::wstring SettingsFile::ReadIniValue(std::wstring_view section, std::wstring_view key,
                                        std::wstring_view defaultValue) const {
    // A value that fills the buffer may have been cut: read again with more room, up to the
    // longest value kept (and one character more, to tell a value of that length from a longer one).
    std::vector<wchar_t> buffer(256);
    for (;;) {
        std::size_t const n = store_.ReadProfileValue(section, key, defaultValue, buffer, path_);
        if (n + 1 < buffer.size() || buffer.size() > kMaxIniValueLength + 1) {
            return std::wstring(buffer.data(), std::min(n, kMaxIniValueLength));
        }
        buffer.assign(std::min(buffer.size() * 8, kMaxIniValueLength + 2), L'\0');
    }
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

SettingsUpdate::SettingsUpdate(SettingsFile const& file, std::wstring_view source) : file_(file) {
    if (std::optional<std::wstring> copy =
            file.Store().BeginProfileUpdate(file.Path(), source.empty() ? std::wstring_view(file.Path()) : source)) {
        copy_.emplace(file.Store(), std::move(*copy));
    }
}

SettingsUpdate::~SettingsUpdate() {
    if (copy_) file_.Store().AbandonProfileUpdate(copy_->Path());
}

bool SettingsUpdate::Commit() {
    if (!copy_) return false;
    bool const done = file_.Store().CommitProfileUpdate(copy_->Path(), file_.Path(), file_.BackupPath());
    copy_.reset();  // gone either way
    return done;
}

}  // namespace vigilon
