#include "app/key_value.h"

#include <array>

#include "app/registry_key.h"

namespace vigilon {
namespace {

// String data is UTF-16LE: a final zero character is the terminator, which the value may or may
// not include. A trailing odd byte cannot form a character and is dropped.
std::wstring DecodeString(std::span<std::uint8_t const> data) {
    std::wstring text;
    text.reserve(data.size() / 2);
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

// Little-endian and signed; missing high bytes count as zero.
std::wstring DecodeDword(std::span<std::uint8_t const> data) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i) value |= std::uint32_t{data[i]} << (8 * i);
    return std::to_wstring(static_cast<std::int32_t>(value));
}

}  // namespace

bool DecodeKeyValue(std::uint32_t type, std::span<std::uint8_t const> data, std::wstring& text) {
    if (type == kRegSz) text = DecodeString(data);
    if (type == kRegDword) text = DecodeDword(data);
    return true;
}

bool GetKeyValue(Registry& registry, RegistryRoot root, std::wstring_view keyPath,
                 std::wstring_view valueName, std::wstring& text) {
    RegistryKey key(registry);
    if (key.Open(root, keyPath, kKeyReadAccess) != 0) {
        text.clear();
        return false;
    }
    std::array<std::uint8_t, kKeyValueBufferBytes> buffer{};
    std::uint32_t type = 0;
    std::size_t size = buffer.size();
    if (registry.QueryValue(key.Handle(), valueName, type, buffer, size) != 0) {
        text.clear();
        return false;
    }
    if (size > buffer.size()) size = buffer.size();
    return DecodeKeyValue(type, std::span<std::uint8_t const>(buffer.data(), size), text);
}

}  // namespace vigilon
