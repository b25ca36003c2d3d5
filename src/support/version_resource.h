#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vigilon {

// Reads a version resource (VS_VERSIONINFO) as it lies in the image, without the version library:
// that library is no system DLL the loader always takes from the system folder, and importing it
// would let a file of its name beside the exe run inside Vigilon.

// The string `name` of the string table `table` (for example "040904B0"); nothing when the
// resource has no such string or is malformed.
std::optional<std::wstring> VersionString(std::span<std::uint8_t const> resource, std::wstring_view table,
                                          std::wstring_view name);

// The string `name` of the first string table that holds it, whatever its language and code page:
// another maker's executable may have its strings in any table.
std::optional<std::wstring> VersionStringOfAnyTable(std::span<std::uint8_t const> resource, std::wstring_view name);

// The file version's four parts from the fixed part of the resource (VS_FIXEDFILEINFO).
struct FileVersion {
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
};
std::optional<FileVersion> VersionNumbers(std::span<std::uint8_t const> resource);

}  // namespace vigilon
