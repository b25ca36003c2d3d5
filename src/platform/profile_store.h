#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace vigilon {

// Profile (INI) files, read and written one key at a time.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // Copies the value of `key` in `section` of `file` into `buffer`, or `defaultValue` when the key
    // or the file is missing: at most buffer.size() - 1 characters and a terminator. Returns the
    // number of characters copied, without the terminator.
    virtual std::size_t ReadProfileValue(std::wstring_view section, std::wstring_view key,
                                          std::wstring_view defaultValue, std::span<wchar_t> buffer,
                                          std::wstring_view file) = 0;

    // Writes or replaces `key` in `section` of `file`, creating the file and the section as needed.
    // True on success.
    virtual bool WriteProfileValue(std::wstring_view section, std::wstring_view key,
                                    std::wstring_view value, std::wstring_view file) = 0;

    // Removes `key` from `section` of `file`. True on success.
    virtual bool DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) = 0;

    // False when `file` is there but cannot be opened for reading: held open without sharing, not
    // readable, or a folder. The read functions then quietly give their defaults. A missing file
    // can be read: it holds nothing.
    virtual bool CanReadProfile(std::wstring_view file) = 0;
};

}  // namespace vigilon
