// The line ring buffer against a reference window of clamped indices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "tests/vrx/framework/support/test_engines.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/framework/utility/vrx_ringbufferoutlinecopy.h"

namespace {

using namespace vrx_test;
using vrx::VRX_KernelAttr;
using vrx::VRX_RingBufferOutlineCopy;

struct Image {
    uint32_t width, height;
    uint16_t bits, channels;
    const vrx::VRX_DataType* type;
};

void describe(vrx::VRX_Header& header, const Image& image) {
    header.width = image.width;
    header.height = image.height;
    header.bits = image.bits;
    header.channels = image.channels;
    header.data_type(image.type);
    header.color_type(image.channels == 1 ? vrx::VRX_ColorType::gray()
                                          : vrx::VRX_ColorType::unknown());
}

// A ring buffer over the pattern image of `header`; the caller destroys both.
struct Window {
    Window(TestManager& manager, const vrx::VRX_Header& header, const VRX_KernelAttr& kernel) {
        vrx::VRX_Engine* source = PatternCreator(&manager).engine(&header);
        src = source ? source->src_buffer() : nullptr;
        ring = VRX_RingBufferOutlineCopy::create(&manager, src, &header, kernel);
    }
    ~Window() {
        vrx::destroy(ring);
        vrx::destroy(src);
    }
    vrx::VRX_SrcBuffer* src = nullptr;
    VRX_RingBufferOutlineCopy* ring = nullptr;
};

TEST(VRX_RingBufferOutlineCopy, MatchesAClampedReferenceWindow) {
    std::mt19937 rng(7);
    auto pick = [&](uint32_t lo, uint32_t hi) {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
    };
    const Image kinds[] = {
        {0, 0, 8, 1, vrx::VRX_DataType::u_integer()},
        {0, 0, 16, 1, vrx::VRX_DataType::s_integer()},
        {0, 0, 32, 3, vrx::VRX_DataType::u_integer()},
        {0, 0, 32, 1, vrx::VRX_DataType::floating()},
        {0, 0, 64, 2, vrx::VRX_DataType::floating()},
        {0, 0, 8, 4, vrx::VRX_DataType::s_integer()},
    };
    for (int round = 0; round < 200; ++round) {
        Image image = kinds[pick(0, std::size(kinds) - 1)];
        image.width = pick(1, 9);
        image.height = pick(1, 9);
        VRX_KernelAttr kernel;
        kernel.width = pick(1, 5);
        kernel.height = pick(1, 5);
        kernel.anchor_x = pick(0, kernel.width - 1);
        kernel.anchor_y = pick(0, kernel.height - 1);
        SCOPED_TRACE(testing::Message()
                     << "round " << round << " image " << image.width << "x" << image.height << "x"
                     << image.bits << "x" << image.channels << " kernel " << kernel.width << "x"
                     << kernel.height << " at " << kernel.anchor_x << "," << kernel.anchor_y);
        TestManager manager;
        vrx::VRX_Header header(&manager);
        describe(header, image);
        const Lines source = pattern_lines(header);
        {
            Window window(manager, header, kernel);
            ASSERT_NE(window.ring, nullptr);
            const VRX_RingBufferOutlineCopy& ring = *window.ring;
            const uint32_t pixel = image.bits / 8 * image.channels;
            ASSERT_EQ(ring.pixel_bytes(), pixel);
            ASSERT_EQ(ring.left_margin(), kernel.anchor_x * pixel);
            ASSERT_EQ(ring.line_bytes(), (kernel.width + image.width - 1) * pixel);
            const int ax = static_cast<int>(kernel.anchor_x);
            const int ay = static_cast<int>(kernel.anchor_y);
            for (uint32_t n = 0; n < image.height + kernel.height; ++n) {
                ASSERT_TRUE(window.ring->update()) << n;
                for (uint32_t k = 0; k < kernel.height; ++k) {
                    const int y = std::clamp(static_cast<int>(n + k) - ay, 0,
                                             static_cast<int>(image.height) - 1);
                    for (uint32_t px = 0; px < kernel.width + image.width - 1; ++px) {
                        const int x = std::clamp(static_cast<int>(px) - ax, 0,
                                                 static_cast<int>(image.width) - 1);
                        ASSERT_EQ(std::memcmp(ring.line(k) + px * pixel,
                                              source[y].data() + x * pixel, pixel),
                                  0)
                            << "update " << n << " line " << k << " pixel " << px;
                    }
                }
            }
            EXPECT_EQ(ring.lines_delivered(), image.height);
        }
        EXPECT_TRUE(manager.execute());
        EXPECT_EQ(manager.memory_manager().outstanding(), 3);
    }
}

TEST(VRX_RingBufferOutlineCopy, EdgeCases) {
    TestManager manager;
    {  // Kernel 1 x 3 around a single line: three copies of it.
        vrx::VRX_Header header(&manager);
        gray8(header, 4, 1);
        Window window(manager, header, VRX_KernelAttr{1, 3, 0, 1});
        ASSERT_NE(window.ring, nullptr);
        ASSERT_TRUE(window.ring->update());
        for (uint32_t k = 0; k < 3; ++k)
            EXPECT_EQ(std::memcmp(window.ring->line(k), pattern_lines(header)[0].data(), 4), 0);
    }
    {  // Kernel 3 x 1 at (1, 0) over the samples 1, 2, 3: 1, 1, 2, 3, 3.
        vrx::VRX_Header header(&manager);
        gray8(header, 3, 1);
        const unsigned char samples[3] = {1, 2, 3};
        vrx::VRX_Engine* source = vrx::VRX_ReadMemory(&manager).engine(&header, samples, 3);
        ASSERT_NE(source, nullptr);
        vrx::VRX_SrcBuffer* src = source->src_buffer();
        VRX_RingBufferOutlineCopy* ring =
            VRX_RingBufferOutlineCopy::create(&manager, src, &header, VRX_KernelAttr{3, 1, 1, 0});
        ASSERT_NE(ring, nullptr);
        ASSERT_TRUE(ring->update());
        const unsigned char expected[5] = {1, 1, 2, 3, 3};
        EXPECT_EQ(std::memcmp(ring->line(0), expected, 5), 0);
        // Past the last line the window repeats it.
        ASSERT_TRUE(ring->update());
        EXPECT_EQ(std::memcmp(ring->line(0), expected, 5), 0);
        ring->destroy();
        src->destroy();
    }
    manager.execute();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

TEST(VRX_RingBufferOutlineCopy, Refusals) {
    struct Case {
        const char* name;
        VRX_KernelAttr kernel;
        uint16_t bits;
        bool null_source;
        uint32_t code;
    } cases[] = {
        {"anchor x at the kernel width", {3, 3, 3, 0}, 8, false, vrx::VRX_ERROR_ARGUMENT},
        {"anchor y at the kernel height", {3, 3, 0, 3}, 8, false, vrx::VRX_ERROR_ARGUMENT},
        {"empty kernel", {0, 3, 0, 0}, 8, false, vrx::VRX_ERROR_ARGUMENT},
        {"no source", {1, 3, 0, 1}, 8, true, vrx::VRX_ERROR_ARGUMENT},
        {"4-bit samples", {1, 3, 0, 1}, 4, false, vrx::VRX_ERROR_UNSUPPORTED},
        {"1-bit samples", {1, 3, 0, 1}, 1, false, vrx::VRX_ERROR_UNSUPPORTED},
    };
    for (const Case& c : cases) {
        TestManager manager;
        vrx::VRX_Header header(&manager);
        gray8(header, 5, 5);
        header.bits = c.bits;
        vrx::VRX_Header source_header(&manager);
        gray8(source_header, 5, 5);
        vrx::VRX_Engine* source = PatternCreator(&manager).engine(&source_header);
        vrx::VRX_SrcBuffer* src = source->src_buffer();
        EXPECT_EQ(VRX_RingBufferOutlineCopy::create(&manager, c.null_source ? nullptr : src,
                                                    &header, c.kernel),
                  nullptr)
            << c.name;
        EXPECT_EQ(manager.status().code, c.code) << c.name;
        EXPECT_STREQ(manager.status().function, "VRX_RingBuffer::initiate()") << c.name;
        src->destroy();
        manager.execute();
        EXPECT_EQ(manager.memory_manager().outstanding(), 3) << c.name;
    }
}

// A source that ends early fails the update that needs the missing line.
TEST(VRX_RingBufferOutlineCopy, ASourceThatEndsEarlyFailsTheUpdate) {
    TestManager manager;
    vrx::VRX_Header short_header(&manager);
    gray8(short_header, 4, 2);
    vrx::VRX_Header claimed(&manager);
    gray8(claimed, 4, 5);
    vrx::VRX_Engine* source = PatternCreator(&manager).engine(&short_header);
    vrx::VRX_SrcBuffer* src = source->src_buffer();
    VRX_RingBufferOutlineCopy* ring =
        VRX_RingBufferOutlineCopy::create(&manager, src, &claimed, VRX_KernelAttr{1, 1, 0, 0});
    ASSERT_NE(ring, nullptr);
    EXPECT_TRUE(ring->update());
    EXPECT_TRUE(ring->update());
    EXPECT_FALSE(ring->update());
    ring->destroy();
    src->destroy();
    manager.execute();
    EXPECT_EQ(manager.memory_manager().outstanding(), 3);
}

}  // namespace
