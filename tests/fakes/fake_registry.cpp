#include "fakes/fake_registry.h"

#include <algorithm>

#include "support/text_case.h"

namespace vigilon::testing {
namespace {

constexpr std::uint32_t kReadRights = 0x20019;

std::wstring KeyName(RegistryRoot root, std::wstring_view path) {
    return std::to_wstring(static_cast<int>(root)) + L":" + ToUpperText(path);
}

}  // namespace

FakeRegistry::Key& FakeRegistry::KeyAt(RegistryRoot root, std::wstring const& path) {
    return keys_[KeyName(root, path)];
}

void FakeRegistry::SetString(RegistryRoot root, std::wstring const& path, std::wstring const& name,
                             std::wstring const& text, std::uint32_t type, bool terminated) {
    std::vector<std::uint8_t> data;
    for (wchar_t c : text) {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    if (terminated) data.insert(data.end(), {0, 0});
    SetBytes(root, path, name, type, std::move(data));
}

void FakeRegistry::SetDword(RegistryRoot root, std::wstring const& path, std::wstring const& name,
                            std::uint32_t value) {
    SetBytes(root, path, name, kRegDword,
             {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
              static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void FakeRegistry::SetBytes(RegistryRoot root, std::wstring const& path, std::wstring const& name,
                            std::uint32_t type, std::vector<std::uint8_t> data) {
    KeyAt(root, path).values[ToUpperText(name)] = Value{type, std::move(data)};
}

void FakeRegistry::DenyWriteAccess(RegistryRoot root, std::wstring const& path) {
    KeyAt(root, path).readOnly = true;
}

long FakeRegistry::OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                           RegistryKeyHandle& key) {
    auto it = keys_.find(KeyName(root, path));
    if (it == keys_.end()) return kErrorFileNotFound;
    if (it->second.readOnly && (access & ~kReadRights) != 0) return kErrorAccessDenied;
    key = next_++;
    handles_[key] = &it->second;
    ++openKeys;
    return 0;
}

long FakeRegistry::QueryValue(RegistryKeyHandle key, std::wstring_view name, std::uint32_t& type,
                              std::span<std::uint8_t> data, std::size_t& size) {
    Key const* k = handles_.at(key);
    auto it = k->values.find(ToUpperText(name));
    if (it == k->values.end()) return kErrorFileNotFound;
    type = it->second.type;
    if (it->second.data.size() > data.size()) return kErrorMoreData;
    std::copy(it->second.data.begin(), it->second.data.end(), data.begin());
    size = it->second.data.size();
    return 0;
}

void FakeRegistry::CloseKey(RegistryKeyHandle key) {
    if (handles_.erase(key) != 0) --openKeys;
}

long FakeRegistry::WriteString(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                               std::wstring_view text) {
    if (KeyAt(root, std::wstring(path)).readOnly) return kErrorAccessDenied;
    SetString(root, std::wstring(path), std::wstring(name), std::wstring(text));
    return 0;
}

long FakeRegistry::DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) {
    Key& key = KeyAt(root, std::wstring(path));
    if (key.readOnly) return kErrorAccessDenied;
    key.values.erase(ToUpperText(name));
    return 0;
}

}  // namespace vigilon::testing
