#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
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

    // Removes `section`, with every key in it, from `file`. True on success.
    virtual bool DeleteProfileSection(std::wstring_view section, std::wstring_view file) = 0;

    // The whole text of `file`, line by line as written, for what the one-key reads cannot tell
    // (a key Vigilon does not read, the line a key is on): decoded as the file is, from UTF-16
    // with its mark (either byte order), UTF-8 (with its mark, or without one holding more than
    // ASCII) or else the ANSI code page, without the mark. Nothing when the file is missing or
    // cannot be read.
    virtual std::optional<std::wstring> ReadProfileText(std::wstring_view file) = 0;

    // False when `file` is there but cannot be opened for reading: held open without sharing, not
    // readable, or a folder. The read functions then quietly give their defaults. A missing file
    // can be read: it holds nothing.
    virtual bool CanReadProfile(std::wstring_view file) = 0;

    // True when `file` is there as a file (not a folder).
    virtual bool ProfileExists(std::wstring_view file) = 0;

    // True when `file` is in UTF-8: with the UTF-8 mark, or without one but holding text that is
    // valid UTF-8 and not plain ASCII. The profile functions would read it in the ANSI code page.
    virtual bool ProfileInUtf8(std::wstring_view file) = 0;

    // Whole-file updates: the writes above change the file in place, one key at a time, so a crash,
    // a full disk or a power cut half way would leave it cut. An update writes into a copy instead,
    // and then puts the copy in the file's place in one step.

    // Copies `source` (usually `file` itself; an empty file when it is missing) beside `file`, a
    // file in UTF-8 converted to UTF-16 on the way, and returns the copy's path, to be read and
    // written with the functions above. Nothing when `file` may not be written (read-only, a
    // folder), `source` cannot be read, or the copy cannot be made.
    virtual std::optional<std::wstring> BeginProfileUpdate(std::wstring_view file, std::wstring_view source) = 0;

    // Flushes `copy` to the disk and puts it in place of `file`, which keeps its attributes and
    // security; the file it replaces becomes `backup`, unless that is empty. False when it could not:
    // `file` is then as it was, and the copy is gone.
    virtual bool CommitProfileUpdate(std::wstring_view copy, std::wstring_view file, std::wstring_view backup) = 0;

    // Deletes a copy that is not to be committed.
    virtual void AbandonProfileUpdate(std::wstring_view copy) = 0;
};

}  // namespace vigilon
