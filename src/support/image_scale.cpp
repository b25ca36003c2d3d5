#include "support/image_scale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vigilon {
namespace {

// Where a target column or row samples the source: the two neighbours and the weight of the second.
struct Sample {
    int first;
    int second;
    float weight;
};

// Pixel centres are matched, so the picture keeps its place and its edges at any scale.
std::vector<Sample> Samples(int sourceSize, int targetSize) {
    std::vector<Sample> samples(static_cast<std::size_t>(targetSize));
    float const ratio = static_cast<float>(sourceSize) / static_cast<float>(targetSize);
    for (int i = 0; i < targetSize; ++i) {
        float const at = std::clamp((static_cast<float>(i) + 0.5f) * ratio - 0.5f, 0.0f,
                                    static_cast<float>(sourceSize - 1));
        int const first = static_cast<int>(at);
        samples[static_cast<std::size_t>(i)] = {first, std::min(first + 1, sourceSize - 1),
                                                at - static_cast<float>(first)};
    }
    return samples;
}

}  // namespace

Picture ScaleSmoothly(Picture const& source, int width, int height) {
    Picture target{std::max(width, 0), std::max(height, 0), {}};
    if (source.width <= 0 || source.height <= 0) target.width = target.height = 0;
    target.pixels.resize(static_cast<std::size_t>(target.width) * static_cast<std::size_t>(target.height) * 3);
    if (target.pixels.empty()) return target;
    std::vector<Sample> const columns = Samples(source.width, target.width);
    std::vector<Sample> const rows = Samples(source.height, target.height);
    auto channel = [&](int x, int y, int c) {
        return static_cast<float>(source.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width) +
                                                 static_cast<std::size_t>(x)) * 3 + static_cast<std::size_t>(c)]);
    };
    auto out = target.pixels.begin();
    for (Sample const& row : rows) {
        for (Sample const& column : columns) {
            for (int c = 0; c < 3; ++c) {
                float const top = channel(column.first, row.first, c) * (1 - column.weight) +
                                  channel(column.second, row.first, c) * column.weight;
                float const bottom = channel(column.first, row.second, c) * (1 - column.weight) +
                                     channel(column.second, row.second, c) * column.weight;
                *out++ = static_cast<std::uint8_t>(std::lround(top * (1 - row.weight) + bottom * row.weight));
            }
        }
    }
    return target;
}

}  // namespace vigilon
