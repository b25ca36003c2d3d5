#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace vigilon {

// Values are read into a buffer of this many characters, so a value keeps its first 254.
inline constexpr std::size_t kIniValueBufferLength = 255;

// The settings file, vigilon.ini: read and written one key at a time.
class SettingsFile {
public:
    SettingsFile(ProfileStore& store, std::wstring path) : store_(store), path_(std::move(path)) {}

    std::wstring const& Path() const { return path_; }

    // The value of `key` in `section`, or `defaultValue` when the key or the file is missing; at
    // most 254 characters.
    std::wstring ReadIniValue(std::wstring_view section, std::wstring_view key,
                              std::wstring_view defaultValue) const;

    // The value of `key` in `section`, or nothing when the key or the file is missing.
    std::optional<std::wstring> FindIniValue(std::wstring_view section, std::wstring_view key) const;

    // Writes `key` with `value` into `section`, creating the file, section or key as needed, so
    // that ReadIniValue gives `value` back as it was: blanks around it and quotes that open and
    // close it included. True when the system reports success.
    bool WriteIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view value) const;

    // Removes `key` from `section`; a key that is not there is no failure and leaves the file as it
    // is. True when the system reports success.
    bool RemoveIniValue(std::wstring_view section, std::wstring_view key) const;

    // False when the file is there but cannot be read; a missing file can be read.
    bool CanRead() const { return store_.CanReadProfile(path_); }

private:
    ProfileStore& store_;
    std::wstring path_;
};

}  // namespace vigilon
