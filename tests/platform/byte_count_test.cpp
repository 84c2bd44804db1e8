#include "platform/byte_count.h"

#include <gtest/gtest.h>

using platform::ByteCount;

TEST(ByteCount, ArithmeticAndLimits) {
    struct Case { ByteCount count; bool ok; uint64_t value; bool fits32; };
    const uint64_t big = uint64_t(1) << 40;
    const Case cases[] = {
        {ByteCount(3) * 16 * 512, true, 24576, true},
        {platform::packed_bytes(1, 1, 9), true, 2, true},
        {platform::packed_bytes(3, 8, 5), true, 15, true},
        {ByteCount(big) * big, false, 0, false},
        {ByteCount(UINT64_MAX) + 1, false, 0, false},
        {ByteCount(1) - 2, false, 0, false},
        {ByteCount(10) / 0, false, 0, false},
        {ByteCount(uint64_t(1) << 32), true, uint64_t(1) << 32, false},
        {ByteCount::from(-1) * 0, false, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.count.ok(), c.ok);
        if (c.ok) {
            EXPECT_EQ(c.count.value(), c.value);
        }
        EXPECT_EQ(c.count.fits<uint32_t>(), c.fits32);
    }
    EXPECT_TRUE(ByteCount(100).at_most(100));
    EXPECT_FALSE(ByteCount(101).at_most(100));
}
