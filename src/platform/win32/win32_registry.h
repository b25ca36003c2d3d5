#pragma once

#include "platform/registry.h"

namespace vigilon {

class Win32Registry final : public Registry {
public:
    long OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                 RegistryKeyHandle& key) override;
    long QueryValue(RegistryKeyHandle key, std::wstring_view name, std::uint32_t& type,
                    std::span<std::uint8_t> data, std::size_t& size) override;
    void CloseKey(RegistryKeyHandle key) override;
    long WriteString(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                     std::wstring_view text) override;
    long DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) override;
};

}  // namespace vigilon
