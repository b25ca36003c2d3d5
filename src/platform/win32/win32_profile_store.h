#pragma once

#include "platform/profile_store.h"

namespace vigilon {

// Profile files through GetPrivateProfileStringW and WritePrivateProfileStringW. A file without a
// byte-order mark is read and written in the system's ANSI code page; one that starts with the
// UTF-16LE mark is read and written in UTF-16, where every character keeps. A file stays in the
// code page until a text it cannot hold is written: it then becomes UTF-16 once, with everything
// in it, so that nothing is stored as question marks. A write fails, and says so, when the file
// cannot be opened for writing. Updates copy the file to "<file>.new", which is flushed and then
// swapped in with ReplaceFileW; a file in UTF-8 becomes UTF-16 in the copy, losslessly.
class Win32ProfileStore final : public ProfileStore {
public:
    std::size_t ReadProfileValue(std::wstring_view section, std::wstring_view key,
                                  std::wstring_view defaultValue, std::span<wchar_t> buffer,
                                  std::wstring_view file) override;
    bool WriteProfileValue(std::wstring_view section, std::wstring_view key,
                            std::wstring_view value, std::wstring_view file) override;
    bool DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) override;
    bool DeleteProfileSection(std::wstring_view section, std::wstring_view file) override;
    std::optional<std::wstring> ReadProfileText(std::wstring_view file) override;
    bool CanReadProfile(std::wstring_view file) override;
    bool ProfileExists(std::wstring_view file) override;
    bool ProfileInUtf8(std::wstring_view file) override;
    std::optional<std::wstring> BeginProfileUpdate(std::wstring_view file, std::wstring_view source) override;
    bool CommitProfileUpdate(std::wstring_view copy, std::wstring_view file, std::wstring_view backup) override;
    void AbandonProfileUpdate(std::wstring_view copy) override;
};

}  // namespace vigilon
