#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vigilon::testing {

inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorMoreData = 234;

// Registry keys in memory. Key paths compare without regard to case.
class FakeRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type = kRegSz;
        std::vector<std::uint8_t> data;
    };

    // Sets a value: text is stored as UTF-16LE with its terminator unless `terminated` is false.
    void SetString(RegistryRoot root, std::wstring const& path, std::wstring const& name,
                   std::wstring const& text, std::uint32_t type = kRegSz, bool terminated = true);
    void SetDword(RegistryRoot root, std::wstring const& path, std::wstring const& name,
                  std::uint32_t value);
    void SetBytes(RegistryRoot root, std::wstring const& path, std::wstring const& name,
                  std::uint32_t type, std::vector<std::uint8_t> data);
    // Refuses to open the key with any right beyond reading, as for a user without
    // administrator rights.
    void DenyWriteAccess(RegistryRoot root, std::wstring const& path);

    int openKeys = 0;  // keys opened and not yet closed

    long OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                 RegistryKeyHandle& key) override;
    long QueryValue(RegistryKeyHandle key, std::wstring_view name, std::uint32_t& type,
                    std::span<std::uint8_t> data, std::size_t& size) override;
    void CloseKey(RegistryKeyHandle key) override;
    long WriteString(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                     std::wstring_view text) override;
    long DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) override;

private:
    struct Key {
        std::map<std::wstring, Value> values;
        bool readOnly = false;
    };
    Key& KeyAt(RegistryRoot root, std::wstring const& path);

    std::map<std::wstring, Key> keys_;
    std::map<RegistryKeyHandle, Key*> handles_;
    RegistryKeyHandle next_ = 0x100;
};

}  // namespace vigilon::testing
