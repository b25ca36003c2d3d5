// The decoding of a registry value's bytes: the first byte picks the value type.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/key_value.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    if (size == 0) return 0;
    std::uint32_t const type = data[0] % 8;
    std::span<std::uint8_t const> const bytes(data + 1, std::min<std::size_t>(size - 1, kKeyValueBufferBytes));
    std::wstring text = L"before";
    fuzzing::Require(DecodeKeyValue(type, bytes, text));
    if (type == kRegSz) fuzzing::Require(text.size() <= bytes.size() / 2);
    if (type == kRegDword) {
        long long const value = std::stoll(text);
        fuzzing::Require(value >= INT32_MIN && value <= INT32_MAX);
    }
    if (type != kRegSz && type != kRegDword) fuzzing::Require(text == L"before");
    return 0;
}
