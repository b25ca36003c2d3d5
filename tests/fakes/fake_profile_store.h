#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile_store.h"

namespace vigilon::testing {

// Profile files in memory. Sections and keys compare without regard to case and keep the order in
// which they were first written, as the system's profile functions do.
class FakeProfileStore final : public ProfileStore {
public:
    struct Section {
        std::wstring name;
        std::vector<std::pair<std::wstring, std::wstring>> keys;
    };

    // The file as the system would write it, one text per line.
    std::vector<std::wstring> Lines(std::wstring const& file) const;
    // Makes every write to `file` fail, as for a read-only or locked file.
    void FailWrites(std::wstring const& file) { readOnly_[file] = true; }
    // Makes `file` unreadable, as when another program holds it open without sharing.
    void Lock(std::wstring const& file) { locked_[file] = true; }
    void Set(std::wstring const& file, std::wstring const& section, std::wstring const& key,
             std::wstring const& value);
    bool Has(std::wstring const& file) const { return files_.count(file) != 0; }

    std::size_t ReadProfileValue(std::wstring_view section, std::wstring_view key,
                                  std::wstring_view defaultValue, std::span<wchar_t> buffer,
                                  std::wstring_view file) override;
    bool WriteProfileValue(std::wstring_view section, std::wstring_view key,
                            std::wstring_view value, std::wstring_view file) override;
    bool DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) override;
    bool DeleteProfileSection(std::wstring_view section, std::wstring_view file) override;
    // The file's Lines, each ended by CR LF.
    std::optional<std::wstring> ReadProfileText(std::wstring_view file) override;
    bool CanReadProfile(std::wstring_view file) override { return !locked_[std::wstring(file)]; }
    bool ProfileExists(std::wstring_view file) override { return Has(std::wstring(file)); }
    bool ProfileInUtf8(std::wstring_view file) override { return utf8_[std::wstring(file)]; }
    std::optional<std::wstring> BeginProfileUpdate(std::wstring_view file, std::wstring_view source) override;
    bool CommitProfileUpdate(std::wstring_view copy, std::wstring_view file, std::wstring_view backup) override;
    void AbandonProfileUpdate(std::wstring_view copy) override { files_.erase(std::wstring(copy)); }

    // The copy an update of `file` writes into.
    static std::wstring CopyOf(std::wstring const& file) { return file + L".new"; }
    // Marks `file` as one in UTF-8; an update's copy is then converted.
    void MarkUtf8(std::wstring const& file) { utf8_[file] = true; }
    // Makes the next replace of `file` fail, as a full disk or a file held open would.
    void FailReplace(std::wstring const& file) { failReplace_[file] = true; }
    void Remove(std::wstring const& file) { files_.erase(file); }
    int updatesBegun = 0;
    int replaces = 0;
    int conversions = 0;
    // Writes and removals made straight into each file, outside any update's copy.
    std::map<std::wstring, int> writes;

private:
    std::map<std::wstring, std::vector<Section>> files_;
    std::map<std::wstring, bool> readOnly_;
    std::map<std::wstring, bool> locked_;
    std::map<std::wstring, bool> utf8_;
    std::map<std::wstring, bool> failReplace_;
};

}  // namespace vigilon::testing
