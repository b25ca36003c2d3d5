#pragma once

#include <map>
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
    bool CanReadProfile(std::wstring_view file) override { return !locked_[std::wstring(file)]; }

private:
    std::map<std::wstring, std::vector<Section>> files_;
    std::map<std::wstring, bool> readOnly_;
    std::map<std::wstring, bool> locked_;
};

}  // namespace vigilon::testing
