#include "vrx/core/convertdatatype/vrx_pixelmath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(PixelMath, IntPowWrapsAndTheCheckedCountDoesNot) {
    EXPECT_EQ(vrx::int_pow(2, 0), 1u);
    EXPECT_EQ(vrx::int_pow(0, 0), 1u);
    EXPECT_EQ(vrx::int_pow(2, 8), 256u);
    EXPECT_EQ(vrx::int_pow(2, 16), 65536u);
    EXPECT_EQ(vrx::int_pow(17, 3), 4913u);
    EXPECT_EQ(vrx::int_pow(2, 32), 0u);  // repeated 32-bit multiplication
    EXPECT_TRUE(vrx::int_pow_count(2, 63).ok());
    EXPECT_EQ(vrx::int_pow_count(33, 4).value(), 1185921u);
    EXPECT_FALSE(vrx::int_pow_count(2, 64).ok());
    EXPECT_FALSE(vrx::int_pow_count(65, 16).fits<uint32_t>());
}

TEST(PixelMath, RoundToIntTakesHalvesAwayFromZero) {
    const struct {
        double x;
        int r;
    } cases[] = {{0.0, 0},
                 {0.5, 1},
                 {1.5, 2},
                 {2.5, 3},
                 {-0.5, -1},
                 {-1.5, -2},
                 {-2.49, -2},
                 {0.49, 0},
                 {359.5, 360},
                 {1e12, INT_MAX},
                 {-1e12, INT_MIN},
                 {NAN, 0},
                 {2147483646.6, INT_MAX},
                 {-2147483648.4, INT_MIN}};
    for (const auto& c : cases) EXPECT_EQ(vrx::round_to_int(c.x), c.r) << c.x;
}

}  // namespace
