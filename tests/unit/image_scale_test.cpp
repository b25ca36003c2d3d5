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

    // Two pixels whose channels run apart, and one that stays: enlarged three times.
    Picture const pair{2, 1, {0, 100, 255, 255, 100, 0}};
    Picture const wide = ScaleSmoothly(pair, 6, 1);
    ASSERT_EQ(wide.pixels.size(), 18u);
    EXPECT_EQ(wide.pixels[0], 0);
    EXPECT_EQ(wide.pixels[15], 255);
    for (int x = 1; x < 6; ++x) {
        std::size_t const at = static_cast<std::size_t>(x) * 3;
        EXPECT_GE(wide.pixels[at], wide.pixels[at - 3]) << x;
        EXPECT_LE(wide.pixels[at + 2], wide.pixels[at - 1]) << x;
        EXPECT_EQ(wide.pixels[at + 1], 100) << x;
    }
    EXPECT_GT(wide.pixels[6], 0);  // smooth, not two blocks
    EXPECT_LT(wide.pixels[6], 255);
}

TEST(ScaleSmoothly, NothingToDrawGivesAnEmptyPicture) {
    EXPECT_TRUE(ScaleSmoothly(Picture{}, 10, 10).pixels.empty());
    EXPECT_TRUE(ScaleSmoothly(Picture{1, 1, {1, 2, 3}}, 0, 5).pixels.empty());
}

}  // namespace
}  // namespace vigilon
