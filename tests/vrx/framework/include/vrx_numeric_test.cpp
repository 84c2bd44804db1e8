#include "vrx/framework/include/vrx_numeric.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

TEST(IsEqual, Table) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double a, b, eps;
        bool equal;
    } cases[] = {
        {1.0, 1.5, 0.5, true},
        {1.0, 1.5000001, 0.5, false},
        {1.0, 1.0, 0.0, true},
        {1.0, 1.0 + DBL_EPSILON, DBL_EPSILON, true},
        {1.0, 1.0 + 2 * DBL_EPSILON, DBL_EPSILON, false},
        {-3.0, -3.25, 0.25, true},
        {nan, 1.0, 1.0, false},
        {1.0, nan, 1.0, false},
        {nan, nan, inf, false},
        {inf, inf, 0.0, false},
        {0.0, -0.0, 0.0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vrx::is_equal(c.a, c.b, c.eps), c.equal) << c.a << " " << c.b;
    EXPECT_TRUE(vrx::is_equal(1.0, 1.0));
    EXPECT_FALSE(vrx::is_equal(1.0, 1.0 + 4 * DBL_EPSILON));
}

// floor(x + 0.5), clamped to the int range.
TEST(RoundHalfUp, Table) {
    struct Case {
        double x;
        int r;
    } cases[] = {
        {0.0, 0},
        {0.49, 0},
        {0.5, 1},
        {2.5, 3},
        {2.4999, 2},
        {-0.5, 0},
        {-2.5, -2},
        {-2.7, -3},
        {-2.2, -2},
        {-0.51, -1},
        {1e300, INT_MAX},
        {-1e300, INT_MIN},
        {2147483646.5, INT_MAX},
        {-2147483648.0, INT_MIN},
        {-2147483648.6, INT_MIN},
        {2147483646.4, 2147483646},
    };
    for (const Case& c : cases) EXPECT_EQ(vrx::round_half_up(c.x), c.r) << c.x;
    EXPECT_EQ(vrx::round_half_up(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(vrx::round_half_up(std::numeric_limits<double>::infinity()), INT_MAX);
    EXPECT_EQ(vrx::round_half_up(-std::numeric_limits<double>::infinity()), INT_MIN);
}

}  // namespace
