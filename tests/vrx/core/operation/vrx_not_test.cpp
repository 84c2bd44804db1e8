#include "vrx/core/operation/vrx_not.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// The lines NOT yields for `bytes`, straight from its buffer.
std::vector<uint8_t> not_of(const Format& f, const std::vector<uint8_t>& bytes) {
    VRX_DefaultManager manager;
    VRX_Engine* source = read_memory(manager, f, bytes);
    VRX_Engine* engine = VRX_Not(&manager).engine(source);
    EXPECT_NE(engine, nullptr);
    EXPECT_NE(engine, source);
    std::vector<uint8_t> out;
    if (engine) {
        EXPECT_TRUE(take_lines(engine, out));
    }
    EXPECT_NO_ERROR(manager);
    return out;
}

Format unsigned_image(uint16_t bits, uint32_t width, uint32_t height, uint16_t channels) {
    return image_format(width, height, bits, channels);
}

TEST(Not, DocumentedLines) {
    EXPECT_EQ(not_of(unsigned_image(8, 3, 1, 1), {0x00, 0x0F, 0xFF}),
              (std::vector<uint8_t>{0xFF, 0xF0, 0x00}));
    EXPECT_EQ(from_bytes<uint16_t>(
                  not_of(unsigned_image(16, 2, 1, 1), to_bytes<uint16_t>({0x00FF, 0x0FFF}))),
              (std::vector<uint16_t>{0xFF00, 0xF000}));
    // Five pixels 1, 0, 1, 1, 0: the three padding bits are inverted too.
    EXPECT_EQ(not_of(unsigned_image(1, 5, 1, 1), {0xB0}), (std::vector<uint8_t>{0x4F}));
}

// Random images of every supported depth, widths around byte boundaries and
// 1 to 4 channels: every byte of every line, padding included, complemented.
TEST(Not, EveryByteOfEveryLine) {
    std::mt19937 random(3);
    for (uint16_t bits : {1, 8, 16})
        for (uint16_t channels = 1; channels <= 4; ++channels)
            for (uint32_t width : {1u, 7u, 8u, 9u, 17u, 100u}) {
                SCOPED_TRACE(testing::Message() << bits << " bits " << channels << "x" << width);
                const Format f = unsigned_image(bits, width, 3, channels);
                std::vector<uint8_t> bytes(line_bytes(f) * f.height);
                for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
                const std::vector<uint8_t> out = not_of(f, bytes);
                ASSERT_EQ(out.size(), bytes.size());
                for (size_t i = 0; i < bytes.size(); ++i)
                    ASSERT_EQ(out[i], static_cast<uint8_t>(~bytes[i])) << i;
            }
}

}  // namespace
