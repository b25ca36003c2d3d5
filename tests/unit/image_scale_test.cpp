#include <gtest/gtest.h>

#include "support/image_scale.h"

namespace vigilon {
namespace {

TEST(ScaleSmoothly, KeepsSizeColourAndEdgesAndBlendsBetween) {
    Picture const flat{3, 2, std::vector<std::uint8_t>(18, 77)};
    EXPECT_EQ(ScaleSmoothly(flat, 3, 2).pixels, flat.pixels);
    Picture const larger = ScaleSmoothly(flat, 5, 3);  // 96 to 144 dots per inch, rounded
    ASSERT_EQ(larger.pixels.size(), 5u * 3u * 3u);
    for (std::uint8_t value : larger.pixels) EXPECT_EQ(value, 77);

    // Two pixels whose channels run apart, and one that stays: enlarged three times. The pixel
    // centres match, so the outer pixels keep the edge colours and the ones between blend by
    // thirds, rounded to the nearest value.
    Picture const pair{2, 1, {0, 100, 255, 255, 100, 0}};
    Picture const wide = ScaleSmoothly(pair, 6, 1);
    ASSERT_EQ(wide.pixels.size(), 18u);
    std::vector<int> first, second, third;
    for (std::size_t x = 0; x < 6; ++x) {
        first.push_back(wide.pixels[x * 3]);
        second.push_back(wide.pixels[x * 3 + 1]);
        third.push_back(wide.pixels[x * 3 + 2]);
    }
    EXPECT_EQ(first, (std::vector<int>{0, 0, 85, 170, 255, 255}));
    EXPECT_EQ(second, (std::vector<int>{100, 100, 100, 100, 100, 100}));
    EXPECT_EQ(third, (std::vector<int>{255, 255, 170, 85, 0, 0}));
}

TEST(ScaleSmoothly, NothingToDrawGivesAnEmptyPicture) {
    EXPECT_TRUE(ScaleSmoothly(Picture{}, 10, 10).pixels.empty());
    EXPECT_TRUE(ScaleSmoothly(Picture{1, 1, {1, 2, 3}}, 0, 5).pixels.empty());
}

}  // namespace
}  // namespace vigilon
