// The bitmap's own operations: black when made, rectangles filled (grey
// levels and colours, clipped to the bitmap), copies and moves; the blocks
// of large buffers it and the frames are made of.
#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/default_init_allocator.h"
#include "platform/large_block.h"

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

TEST(LargeBlock, ZeroedWritableAndFreedOnEitherSideOfTheLimit) {
    for (const size_t bytes : {size_t{0}, kLargeBlockBytes - 1, kLargeBlockBytes,
                               3 * kLargeBlockBytes + 5}) {
        SCOPED_TRACE(bytes);
        auto* block = static_cast<uint8_t*>(allocate_block(bytes, true));
        ASSERT_NE(block, nullptr);
        if (bytes) {
            EXPECT_TRUE(block[0] == 0 && block[bytes / 2] == 0 && block[bytes - 1] == 0);
            block[0] = block[bytes - 1] = 7;
        }
        free_block(block, bytes);
    }
    // A picture and a frame of large blocks: black when made, grown and
    // copied as small ones are.
    Bitmap picture(1500, 1000);
    EXPECT_EQ(picture.pixel(1499, 999), kBlack);
    picture.set_pixel(1499, 999, kWhite);
    const Bitmap copy = picture;
    EXPECT_EQ(copy.pixel(1499, 999), kWhite);
    std::vector<uint8_t, DefaultInitAllocator<uint8_t>> frame(16);
    frame[15] = 9;
    frame.resize(kLargeBlockBytes * 2);
    EXPECT_EQ(frame[15], 9);
    frame.resize(8);
    frame.shrink_to_fit();
    EXPECT_EQ(frame.size(), 8u);
}

}  // namespace
