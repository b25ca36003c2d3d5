#pragma once

#include <cstdint>
#include <vector>

namespace vigilon {

// A picture of three 8-bit channels per pixel, rows from the top, without padding between rows.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 3
};

// `source` drawn at `width` x `height` with bilinear filtering, so that a picture enlarged for a
// high-DPI screen shows smooth edges rather than blocks. Each channel is filtered on its own.
Picture ScaleSmoothly(Picture const& source, int width, int height);

}  // namespace vigilon
