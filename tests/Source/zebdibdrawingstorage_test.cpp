// The drawing storage against DrawDIB: bitmaps of 8 bits (full and short
// colour tables) and 24 bits, of widths with every padding, placed across
// the edges of a clipped target, written as the bitmap writer writes them
// (header, zero rows, each row over its place) in pieces of random sizes
// and rows in random order, leave the target exactly as DrawDIB leaves it.
#include "Source/zebdibdrawingstorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "Source/zebrenderchain.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_managerimpl.h"
#include "vrx/framework/manager/vrx_status.h"

namespace {

using platform::Bitmap;
using platform::Rect;

void put32(ZEBDIBBytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A packed bitmap of random pixels and colour table.
ZEBDIBBytes random_dib(int32_t width, int32_t height, int depth, uint32_t colours,
                       std::mt19937& random) {
    const size_t stride = (size_t(width) * size_t(depth) / 8 + 3) / 4 * 4;
    ZEBDIBBytes b(40 + colours * 4 + stride * size_t(height));
    for (uint8_t& v : b) v = uint8_t(random());
    put32(b, 0, 40);
    put32(b, 4, uint32_t(width));
    put32(b, 8, uint32_t(height));
    b[12] = 1, b[13] = 0, b[14] = uint8_t(depth), b[15] = 0;
    put32(b, 32, colours);
    return b;
}

Bitmap pattern(int32_t width, int32_t height) {
    Bitmap b(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) b.set_pixel(x, y, {uint8_t(x * 9), uint8_t(y * 5), 77});
    return b;
}

// Writes `n` bytes through the storage in pieces of 1 to 7 bytes (single
// bytes by put), or advances over them when `bytes` is null.
void feed(ZEBDIBDrawingStorage& s, const uint8_t* bytes, size_t n, std::mt19937& random) {
    for (size_t done = 0; done < n;) {
        const size_t k = std::min<size_t>(n - done, 1 + random() % 7);
        if (!bytes)
            ASSERT_EQ(s.advance(int32_t(k)), int32_t(k));
        else if (k == 1)
            ASSERT_EQ(s.put(bytes[done]), bytes[done]);
        else
            ASSERT_EQ(s.write(bytes + done, int32_t(k)), int32_t(k));
        done += k;
    }
}

TEST(DIBDrawingStorage, DrawsAsDrawDIB) {
    std::mt19937 random(11);
    const Rect clips[] = {{0, 0, 30, 20}, {3, 2, 17, 15}, {0, 0, 0, 0}};
    for (int depth : {8, 24})
        for (int32_t width = 1; width <= 9; ++width)
            for (const Rect& clip : clips) {
                const int32_t height = 1 + int32_t(random() % 6);
                const uint32_t colours = depth == 8 ? uint32_t(random() % 2 ? 256 : 7) : 0;
                const int32_t x = int32_t(random() % 40) - 8, y = int32_t(random() % 28) - 6;
                SCOPED_TRACE(testing::Message() << depth << " bits " << width << "x" << height
                                                << " at " << x << "," << y);
                const ZEBDIBBytes dib = random_dib(width, height, depth, colours, random);
                Bitmap want = pattern(30, 20), got = pattern(30, 20);
                platform::DeviceContext wantDc(&want), gotDc(&got);
                wantDc.set_clip(clip);
                gotDc.set_clip(clip);
                Rect drawn;
                ASSERT_TRUE(ZEBRenderChain::DrawDIB(wantDc, dib, x, y, &drawn));
                EXPECT_EQ(drawn, clip.intersect({x, y, x + width, y + height}));

                vrx::VRX_DefaultManager manager;
                const size_t rowsAt = 40 + colours * 4, stride = (dib.size() - rowsAt) / size_t(height);
                auto* s = ZEBDIBDrawingStorage::create(&manager, gotDc, x, y, int32_t(dib.size()),
                                                       int32_t(rowsAt));
                ASSERT_NE(s, nullptr);
                feed(*s, dib.data(), rowsAt, random);
                feed(*s, nullptr, dib.size() - rowsAt, random);  // the zero rows
                std::vector<int32_t> rows(static_cast<size_t>(height));
                std::iota(rows.begin(), rows.end(), 0);
                std::shuffle(rows.begin(), rows.end(), random);
                for (int32_t row : rows) {
                    ASSERT_TRUE(s->seek_from_begin(int32_t(rowsAt + size_t(row) * stride)));
                    feed(*s, dib.data() + rowsAt + size_t(row) * stride, stride, random);
                }
                EXPECT_EQ(s->size(), int32_t(dib.size()));
                s->destroy();
                ASSERT_EQ(manager.status().code, vrx::VRX_SUCCESS);
                ASSERT_TRUE(std::ranges::equal(got.bytes(), want.bytes()));
            }
}

TEST(DIBDrawingStorage, Refusals) {
    vrx::VRX_DefaultManager manager;
    Bitmap target(4, 4);
    platform::DeviceContext dc(&target);
    EXPECT_EQ(ZEBDIBDrawingStorage::create(&manager, dc, 0, 0, 2000, 2000), nullptr);
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_ARGUMENT);
    manager.reset();
    // Beyond the capacity; a row over a header that is no bitmap.
    auto* s = ZEBDIBDrawingStorage::create(&manager, dc, 0, 0, 48, 40);
    ASSERT_NE(s, nullptr);
    const uint8_t zeros[48] = {};
    EXPECT_EQ(s->write(zeros, 50), 48);
    EXPECT_EQ(s->write(zeros, 1), 0);
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_IO);
    manager.reset();
    ASSERT_TRUE(s->seek_from_begin(40));
    EXPECT_EQ(s->write(zeros, 8), 0);
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_UNSUPPORTED);
    s->destroy();
}

}  // namespace
