#pragma once

#include <cstdint>

namespace vigilon {

// A top-level window of any process, as a 32-bit value; 0 means none.
using WindowHandle = std::uint32_t;

}  // namespace vigilon
