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
    bool found = false;
    auto f = files_.find(std::wstring(file));
    if (f != files_.end() && !locked_[f->first]) {
        for (Section const& s : f->second) {
            if (!SameName(s.name, section)) continue;
            for (auto const& [k, v] : s.keys) {
                if (SameName(k, key)) value = v, found = true;
            }
        }
    }
    // A line break ends the line the value is on, as in the system's file.
    if (found) value = value.substr(0, std::min(value.find(L'\r'), value.find(L'\n')));
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
    ++writes[name];
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
    ++writes[name];
    for (Section& s : files_[name]) {
        if (SameName(s.name, section)) std::erase_if(s.keys, [&](auto const& x) { return SameName(x.first, key); });
    }
    return true;
}

bool FakeProfileStore::DeleteProfileSection(std::wstring_view section, std::wstring_view file) {
    std::wstring const name(file);
    if (readOnly_[name] || locked_[name]) return false;
    ++writes[name];
    std::erase_if(files_[name], [&](Section const& s) { return SameName(s.name, section); });
    return true;
}

std::optional<std::wstring> FakeProfileStore::ReadProfileText(std::wstring_view file) {
    std::wstring const name(file);
    if (!Has(name) || locked_[name]) return std::nullopt;
    std::wstring text;
    for (std::wstring const& line : Lines(name)) text += line + L"\r\n";
    return text;
}

std::optional<std::wstring> FakeProfileStore::BeginProfileUpdate(std::wstring_view file, std::wstring_view source) {
    std::wstring const name(file);
    if (readOnly_[name] || locked_[name] || locked_[std::wstring(source)]) return std::nullopt;
    ++updatesBegun;
    std::wstring const copy = CopyOf(name);
    if (readOnly_[copy]) return std::nullopt;  // the folder is full or cannot be written
    auto const from = files_.find(std::wstring(source));
    files_[copy] = from == files_.end() ? std::vector<Section>{} : from->second;
    if (utf8_[std::wstring(source)]) ++conversions;
    return copy;
}

bool FakeProfileStore::CommitProfileUpdate(std::wstring_view copy, std::wstring_view file, std::wstring_view backup) {
    std::wstring const name(file);
    auto const fresh = files_.find(std::wstring(copy));
    if (fresh == files_.end()) return false;
    if (failReplace_[name]) {
        failReplace_[name] = false;
        files_.erase(fresh);
        return false;
    }
    ++replaces;
    auto const old = files_.find(name);
    if (old != files_.end() && !backup.empty()) files_[std::wstring(backup)] = old->second;
    files_[name] = fresh->second;
    files_.erase(std::wstring(copy));
    utf8_[name] = false;
    return true;
}

}  // namespace vigilon::testing
