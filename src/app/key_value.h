#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace vigilon {

// Registry values are read into a buffer of 1024 characters: a text of up to 1023 characters and
// its terminator fits, as it does in 1024 bytes of a single-byte code page. A larger value cannot
// be read. Text is read as UTF-16, two bytes to the character.
inline constexpr std::size_t kKeyValueBufferCharacters = 1024;
inline constexpr std::size_t kKeyValueBufferBytes = kKeyValueBufferCharacters * 2;

// Read rights only: KEY_READ (STANDARD_RIGHTS_READ, KEY_QUERY_VALUE, KEY_ENUMERATE_SUB_KEYS,
// KEY_NOTIFY). Nothing is ever written, and asking for write rights would make the read fail for
// users without administrator rights on keys that live under HKEY_LOCAL_MACHINE.
inline constexpr std::uint32_t kKeyReadAccess = 0x20019;

// Turns the `data` of a value of `type` into text. A string value gives its characters without a
// final terminator; a 32-bit number gives its signed decimal form. Any other type leaves `text`
// as it was. Always true: every type is a successful read.
bool DecodeKeyValue(std::uint32_t type, std::span<std::uint8_t const> data, std::wstring& text);

// Reads the value `valueName` (empty: the default value) of `keyPath` below `root` as text, as
// DecodeKeyValue describes. False, with `text` emptied, when the key cannot be opened or the
// value cannot be read (among others when it is larger than kKeyValueBufferBytes).
bool GetKeyValue(Registry& registry, RegistryRoot root, std::wstring_view keyPath,
                 std::wstring_view valueName, std::wstring& text);

}  // namespace vigilon
