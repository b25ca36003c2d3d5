#include "fakes/fake_profile_store.h"

#include <algorithm>

#include "support/text_case.h"

namespace vigilon::testing {
namespace {

bool SameName(std::wstring_view a, std::wstring_view b) { return ToUpperText(a) == ToUpperText(b); }

}  // namespace

void FakeProfileStore::Set(std::wstring const& file, std::wstring const& section,
                           std::wstring const& key, std::wstring const& value) {
    bool const wasReadOnly = readOnly_[file];
    readOnly_[file] = false;
    WriteProfileValue(section, key, value, file);
    readOnly_[file] = wasReadOnly;
}

std::vector<std::wstring> FakeProfileStore::Lines(std::wstring const& file) const {
    std::vector<std::wstring> lines;
    auto it = files_.find(file);
    if (it == files_.end()) return lines;
    for (Section const& section : it->second) {
        lines.push_back(L"[" + section.name + L"]");
        for (auto const& [key, value] : section.keys) lines.push_back(key + L"=" + value);
    }
    return lines;
}

std::size_t FakeProfileStore::ReadProfileValue(std::wstring_view section, std::wstring_view key,
                                                std::wstring_view defaultValue,
                                                std::span<wchar_t> buffer, std::wstring_view file) {
    if (buffer.empty()) return 0;
    std::wstring_view value = defaultValue;
    auto f = files_.find(std::wstring(file));
    if (f != files_.end() && !locked_[f->first]) {
        for (Section const& s : f->second) {
            if (!SameName(s.name, section)) continue;
            for (auto const& [k, v] : s.keys) {
                if (SameName(k, key)) value = v;
            }
        }
    }
    // As the system reads a value: without the blanks around it, and without one pair of quotes
    // (single or double) that open and close it.
    while (!value.empty() && (value.front() == L' ' || value.front() == L'\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == L' ' || value.back() == L'\t')) value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    std::size_t const n = std::min(value.size(), buffer.size() - 1);
    std::copy_n(value.begin(), n, buffer.begin());
    buffer[n] = L'\0';
    return n;
}

bool FakeProfileStore::WriteProfileValue(std::wstring_view section, std::wstring_view key,
                                          std::wstring_view value, std::wstring_view file) {
    std::wstring const name(file);
    if (readOnly_[name] || locked_[name]) return false;
    std::vector<Section>& sections = files_[name];
    auto s = std::find_if(sections.begin(), sections.end(),
                          [&](Section const& x) { return SameName(x.name, section); });
    if (s == sections.end()) s = sections.insert(sections.end(), Section{std::wstring(section), {}});
    auto k = std::find_if(s->keys.begin(), s->keys.end(),
                          [&](auto const& x) { return SameName(x.first, key); });
    if (k == s->keys.end()) {
        s->keys.emplace_back(std::wstring(key), std::wstring(value));
    } else {
        k->second = std::wstring(value);
    }
    return true;
}

bool FakeProfileStore::DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) {
    std::wstring const name(file);
    if (readOnly_[name] || locked_[name]) return false;
    for (Section& s : files_[name]) {
        if (SameName(s.name, section)) std::erase_if(s.keys, [&](auto const& x) { return SameName(x.first, key); });
    }
    return true;
}

}  // namespace vigilon::testing
