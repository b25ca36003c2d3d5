#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vigilon {

enum class RegistryRoot : std::uint8_t { ClassesRoot, CurrentUser, LocalMachine };

using RegistryKeyHandle = std::uintptr_t;

// Registry value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Access to registry keys: reading, and the few values the program sets for itself. Results are
// system error codes: 0 means success.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens `path` below `root` with the access mask `access`; on success `key` holds the open key,
    // which the caller closes with CloseKey.
    virtual long OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                         RegistryKeyHandle& key) = 0;

    // Reads the value `name` (empty: the key's default value) into `data`. On success `type` holds
    // the value's type and `size` the number of bytes written; a value larger than data.size()
    // fails. String data is UTF-16LE, as the system stores it.
    virtual long QueryValue(RegistryKeyHandle key, std::wstring_view name, std::uint32_t& type,
                            std::span<std::uint8_t> data, std::size_t& size) = 0;

    virtual void CloseKey(RegistryKeyHandle key) = 0;

    // Writes the string value `name` of `path` below `root`, creating the key as needed.
    virtual long WriteString(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                             std::wstring_view text) = 0;

    // Deletes the value `name` of `path` below `root`; a missing value is no failure.
    virtual long DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) = 0;
};

}  // namespace vigilon
