#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace vigilon::fuzzing {

// The fuzzer's bytes as wide text: two bytes a character, little-endian, as the system's UTF-16.
inline std::wstring WideText(std::uint8_t const* data, std::size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

// Stops the run with a crash the fuzzer reports, when a property does not hold.
inline void Require(bool holds) {
    if (!holds) std::abort();
}

}  // namespace vigilon::fuzzing
