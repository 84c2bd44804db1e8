// The bitmap file made band by band against a plain encoder of the format:
// widths of every row padding, single rows, pictures of several bands with
// a short last band; a sink that refuses stops the making.
#include "Source/zebbitmapfile.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "Source/zebvrxchain.h"

namespace {

using platform::Bitmap;

void put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// File header, 40-byte info header (24 bits, no compression, no
// resolution), then blue, green, red rows bottom-up, padded with zeros.
std::vector<uint8_t> encode(const Bitmap& p) {
    const uint32_t stride = (uint32_t(p.width()) * 3 + 3) / 4 * 4;
    const uint32_t rows = stride * uint32_t(p.height());
    std::vector<uint8_t> b = {'B', 'M'};
    put(b, 54 + rows, 4);
    put(b, 0, 4);
    put(b, 54, 4);
    for (uint32_t v : {40u, uint32_t(p.width()), uint32_t(p.height())}) put(b, v, 4);
    put(b, 1, 2);
    put(b, 24, 2);
    for (uint32_t v : {0u, rows, 0u, 0u, 0u, 0u}) put(b, v, 4);
    for (int32_t y = p.height() - 1; y >= 0; --y) {
        for (int32_t x = 0; x < p.width(); ++x) {
            const platform::Color c = p.pixel(x, y);
            b.insert(b.end(), {c.b, c.g, c.r});
        }
        b.resize(b.size() + stride - uint32_t(p.width()) * 3, 0);
    }
    return b;
}

TEST(BitmapFile, MadeAsTheFormatSays) {
    std::mt19937 random(3);
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 7},
                                                 {1000, 700}, {1, 131073}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        Bitmap picture(width, height);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                picture.set_pixel(x, y, {uint8_t(random()), uint8_t(random()), uint8_t(random())});
        std::vector<uint8_t> made;
        ZEBVRXError error;
        ASSERT_TRUE(ZEBBitmapFile::Make(
            picture,
            [&](const uint8_t* bytes, size_t size) {
                made.insert(made.end(), bytes, bytes + size);
                return true;
            },
            error))
            << error.Describe();
        ASSERT_TRUE(made == encode(picture));
    }

    Bitmap picture(1000, 700);
    int calls = 0;
    ZEBVRXError error;
    EXPECT_FALSE(ZEBBitmapFile::Make(picture, [&](const uint8_t*, size_t) { return ++calls < 2; },
                                     error));
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(ZEBBitmapFile::Make(Bitmap(), [](const uint8_t*, size_t) { return true; }, error));
    EXPECT_EQ(error.message, "no picture to write");
}

}  // namespace
