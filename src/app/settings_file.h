#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace vigilon {

// The longest value read back: as long as a command line can be. A longer one is cut there, and
// Save refuses to write one.
inline constexpr std::size_t kMaxIniValueLength = 32767;

// The settings file, vigilon.ini: read one key at a time, and changed through a SettingsUpdate.
class SettingsFile {
public:
    SettingsFile(ProfileStore& store, std::wstring path) : store_(store), path_(std::move(path)) {}

    std::wstring const& Path() const { return path_; }
    // The file's name without its folder: "vigilon.ini".
    std::wstring Name() const { return path_.substr(path_.find_last_of(L"\\/") + 1); }

    // The value of `key` in `section`, or `defaultValue` when the key or the file is missing; at
    // most kMaxIniValueLength characters.
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

    // Removes `section` and every key in it; a section that is not there is no failure. True when
    // the system reports success.
    bool RemoveSection(std::wstring_view section) const { return store_.DeleteProfileSection(section, path_); }

    // The file's whole text, to check it line by line; nothing when it is missing or cannot be read.
    std::optional<std::wstring> ReadText() const { return store_.ReadProfileText(path_); }

    // False when the file is there but cannot be read; a missing file can be read.
    bool CanRead() const { return store_.CanReadProfile(path_); }

    // The previous file, kept by every update: vigilon.ini.bak.
    std::wstring BackupPath() const { return path_ + L".bak"; }

    ProfileStore& Store() const { return store_; }

private:
    ProfileStore& store_;
    std::wstring path_;
};

// A change to the settings file made whole before it is seen: every write goes to a copy of the
// file in its folder, and Commit puts the copy in the file's place in one step, keeping the file
// it replaces as vigilon.ini.bak. Without Commit the file is left exactly as it was.
class SettingsUpdate {
public:
    // A copy of the file itself; or, with `source`, of that file (a backup to restore).
    explicit SettingsUpdate(SettingsFile const& file, std::wstring_view source = {});
    SettingsUpdate(SettingsUpdate const&) = delete;
    SettingsUpdate& operator=(SettingsUpdate const&) = delete;
    ~SettingsUpdate();

    // False when no copy could be made: the file may not be written, or cannot be read.
    bool Ready() const { return copy_.has_value(); }

    // The copy, to read and write as the settings file; only while Ready.
    SettingsFile const& Copy() const { return *copy_; }

    // Puts the copy in place. True when it is; false leaves the file as it was.
    bool Commit();

private:
    SettingsFile const& file_;
    std::optional<SettingsFile> copy_;
};

}  // namespace vigilon
