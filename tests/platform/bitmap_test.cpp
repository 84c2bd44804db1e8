// The bitmap's own operations: black when made, rectangles filled (grey
// levels and colours, clipped to the bitmap), copies and moves.
#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

using namespace platform;

TEST(Bitmap, FillsCopiesAndMoves) {
    Bitmap bm(7, 5);
    EXPECT_TRUE(std::ranges::all_of(bm.bytes(), [](uint8_t v) { return v == 0; }));
    EXPECT_EQ(bm.bytes().size(), 7u * 5u * 3u);
    const Color orange{250, 120, 3}, grey{9, 9, 9};
    bm.fill({-3, 1, 3, 3}, orange);
    bm.fill({5, 4, 100, 100}, grey);
    bm.fill({2, 2, 2, 9}, kWhite);  // empty
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            const bool inOrange = x < 3 && y >= 1 && y < 3, inGrey = x >= 5 && y >= 4;
            EXPECT_EQ(bm.pixel(x, y), inOrange ? orange : inGrey ? grey : kBlack) << x << "," << y;
        }
    Bitmap copy = bm;
    EXPECT_TRUE(std::ranges::equal(copy.bytes(), bm.bytes()));
    copy.fill(kWhite);
    EXPECT_EQ(bm.pixel(6, 0), kBlack);
    Bitmap moved = std::move(copy);
    EXPECT_EQ(moved.pixel(6, 0), kWhite);
    EXPECT_TRUE(copy.empty());
    copy = moved;
    EXPECT_EQ(copy.pixel(0, 4), kWhite);
    EXPECT_FALSE(Bitmap().resize(-1, 2));
    EXPECT_FALSE(Bitmap().resize(0x7FFF, 0x7FFF));
}

}  // namespace
