#include "vrx/framework/base/vrx_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/vrx/framework/support/test_manager.h"

namespace {

using vrx::VRX_ColorType;
using vrx::VRX_DataType;
using vrx::VRX_EncodeType;
using vrx::VRX_Header;
using vrx_test::TestManager;
using Palette = VRX_Header::VRX_Palette;

const VRX_DataType* const kDataTypes[] = {VRX_DataType::u_integer(), VRX_DataType::s_integer(),
                                          VRX_DataType::floating(), VRX_DataType::unknown()};
const VRX_ColorType* const kColorTypes[] = {
    VRX_ColorType::none(),    VRX_ColorType::gray(),   VRX_ColorType::gray_reverse(),
    VRX_ColorType::lstar(),   VRX_ColorType::s_rgb(),  VRX_ColorType::adobe_rgb(),
    VRX_ColorType::ycbcr(),   VRX_ColorType::hsl(),    VRX_ColorType::icc_lab(),
    VRX_ColorType::itu_lab(), VRX_ColorType::cmy(),    VRX_ColorType::xyz(),
    VRX_ColorType::cmyk(),    VRX_ColorType::unknown()};

bool set_palette(Palette& p, uint16_t bits, uint16_t channels, uint32_t entries) {
    p.bits = bits;
    p.channels = channels;
    p.entries = entries;
    std::vector<unsigned char> bytes(static_cast<size_t>(bits) * channels * entries / 8, 0x5A);
    return p.value(bytes.empty() ? nullptr : bytes.data(), static_cast<uint32_t>(bytes.size()));
}

TEST(VRX_Header, Defaults) {
    TestManager manager;
    VRX_Header h(&manager);
    EXPECT_EQ(h.width, 0u);
    EXPECT_EQ(h.height, 0u);
    EXPECT_EQ(h.bits, 0u);
    EXPECT_EQ(h.channels, 0u);
    EXPECT_EQ(h.data_type(), VRX_DataType::u_integer());
    EXPECT_EQ(h.encode_type(), VRX_EncodeType::raw());
    EXPECT_EQ(h.color_type(), VRX_ColorType::none());
    EXPECT_TRUE(h.palette().empty());
    EXPECT_FALSE(h.is_valid());
}

// Without a palette: sizes non-zero, the data type accepts the depth and the
// colour type the channel count, over every pair of the type tables.
TEST(VRX_Header, ValidityWithoutPaletteOverTheTypeTables) {
    TestManager manager;
    VRX_Header h(&manager);
    for (const VRX_DataType* dt : kDataTypes) {
        for (const VRX_ColorType* ct : kColorTypes) {
            for (uint16_t bits : {0, 1, 2, 4, 8, 12, 16, 32, 64}) {
                for (uint16_t channels = 0; channels <= 5; ++channels) {
                    h.data_type(dt);
                    h.color_type(ct);
                    h.bits = bits;
                    h.channels = channels;
                    h.width = 2;
                    h.height = 3;
                    const bool expected =
                        dt->is_acceptable_bits(bits) && ct->is_acceptable_channels(channels);
                    EXPECT_EQ(h.is_valid(), expected)
                        << dt->name() << " " << ct->name() << " " << bits << "x" << channels;
                    h.width = 0;
                    EXPECT_FALSE(h.is_valid());
                    h.width = 2;
                    h.height = 0;
                    EXPECT_FALSE(h.is_valid());
                }
            }
        }
    }
}

TEST(VRX_Header, GrayEdgeCases) {
    TestManager manager;
    VRX_Header h(&manager);
    h.width = h.height = 1;
    h.bits = 8;
    h.channels = 1;
    h.color_type(VRX_ColorType::gray());
    EXPECT_TRUE(h.is_valid());
    h.channels = 3;
    EXPECT_FALSE(h.is_valid());
}

TEST(VRX_Header, ValidityWithPalette) {
    struct Case {
        const char* name;
        const VRX_DataType* dt;
        uint16_t bits, channels;
        const VRX_ColorType* ct;
        uint16_t pbits, pchannels;
        uint32_t entries;
        bool valid;
    } cases[] = {
        {"16-bit, 65536 entries", VRX_DataType::u_integer(), 16, 1, VRX_ColorType::s_rgb(), 8, 3,
         65536, true},
        {"16-bit, 65537 entries", VRX_DataType::u_integer(), 16, 1, VRX_ColorType::s_rgb(), 8, 3,
         65537, false},
        {"8-bit, 256 entries", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::s_rgb(), 16, 3, 256,
         true},
        {"8-bit, 257 entries", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::s_rgb(), 8, 3, 257,
         false},
        {"4-bit, 16 entries", VRX_DataType::u_integer(), 4, 1, VRX_ColorType::s_rgb(), 8, 3, 16,
         true},
        {"4-bit, 17 entries", VRX_DataType::u_integer(), 4, 1, VRX_ColorType::s_rgb(), 8, 3, 17,
         false},
        {"2-bit, 4 entries", VRX_DataType::u_integer(), 2, 1, VRX_ColorType::gray(), 8, 1, 4, true},
        {"2-bit, 5 entries", VRX_DataType::u_integer(), 2, 1, VRX_ColorType::gray(), 8, 1, 5,
         false},
        {"1-bit, 2 entries", VRX_DataType::u_integer(), 1, 1, VRX_ColorType::gray(), 8, 1, 2, true},
        {"1-bit, 3 entries", VRX_DataType::u_integer(), 1, 1, VRX_ColorType::gray(), 8, 1, 3,
         false},
        {"32-bit index", VRX_DataType::u_integer(), 32, 1, VRX_ColorType::s_rgb(), 8, 3, 2, false},
        {"signed index", VRX_DataType::s_integer(), 8, 1, VRX_ColorType::s_rgb(), 8, 3, 2, false},
        {"two index channels", VRX_DataType::u_integer(), 8, 2, VRX_ColorType::s_rgb(), 8, 3, 2,
         false},
        {"colour type refuses palette channels", VRX_DataType::u_integer(), 8, 1,
         VRX_ColorType::gray(), 8, 3, 2, false},
        {"none accepts palette channels", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::none(), 8,
         3, 2, true},
        {"palette bits 4", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::s_rgb(), 4, 3, 2, false},
        {"palette bits 12", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::gray(), 12, 2, 2,
         false},
        {"palette without channels", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::s_rgb(), 8, 0,
         2, false},
        {"palette without entries", VRX_DataType::u_integer(), 8, 1, VRX_ColorType::s_rgb(), 8, 3,
         0, false},
    };
    for (const Case& c : cases) {
        TestManager manager;
        VRX_Header h(&manager);
        h.width = h.height = 4;
        h.bits = c.bits;
        h.channels = c.channels;
        h.data_type(c.dt);
        h.color_type(c.ct);
        set_palette(h.palette(), c.pbits, c.pchannels, c.entries);
        EXPECT_EQ(h.is_valid(), c.valid) << c.name;
    }
}

TEST(VRX_Header, PaletteFieldsWithoutBytesAreInconsistent) {
    TestManager manager;
    VRX_Header h(&manager);
    h.width = h.height = 4;
    h.bits = 8;
    h.channels = 1;
    h.palette().bits = 8;
    h.palette().channels = 3;
    h.palette().entries = 2;  // no bytes installed
    EXPECT_FALSE(h.palette().empty());
    EXPECT_FALSE(h.is_valid());
}

TEST(VRX_Palette, ValueNeedsTheExactSize) {
    TestManager manager;
    Palette p(&manager);
    p.bits = 8;
    p.channels = 3;
    p.entries = 256;
    std::vector<unsigned char> bytes(768, 1);
    EXPECT_FALSE(p.value(bytes.data(), 767));
    auto* handler = manager.error_handler();
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_Header::VRX_Palette::value()");
    handler->reset();
    EXPECT_FALSE(p.value(nullptr, 768));
    EXPECT_FALSE(p.value(bytes.data(), 0));
    EXPECT_EQ(p.value(), nullptr);
    EXPECT_TRUE(p.value(bytes.data(), 768));
    ASSERT_NE(p.value(), nullptr);
    EXPECT_NE(p.value(), bytes.data());  // a copy
    EXPECT_EQ(p.value()[767], 1);
    // Replacing gives the old bytes back.
    const int64_t held = manager.memory_manager().outstanding();
    bytes.assign(768, 2);
    EXPECT_TRUE(p.value(bytes.data(), 768));
    EXPECT_EQ(manager.memory_manager().outstanding(), held);
    EXPECT_EQ(p.value()[0], 2);
}

TEST(VRX_Palette, EmptyAndSizeZero) {
    TestManager manager;
    Palette p(&manager);
    EXPECT_TRUE(p.empty());
    EXPECT_TRUE(p.value(nullptr, 0));
    EXPECT_TRUE(p.empty());
    p.bits = 8;
    EXPECT_FALSE(p.empty());
}

TEST(VRX_Palette, OversizedByteCountIsRefused) {
    TestManager manager;
    Palette p(&manager);
    p.bits = 65535;
    p.channels = 65535;
    p.entries = 0xFFFFFFFFu;
    uint32_t size = 0;
    EXPECT_FALSE(p.byte_count(size));
    unsigned char byte = 0;
    EXPECT_FALSE(p.value(&byte, 1));
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_ARGUMENT);
}

TEST(VRX_Palette, CopiesAreDeep) {
    TestManager manager;
    Palette a(&manager);
    ASSERT_TRUE(set_palette(a, 16, 3, 4));
    Palette b(&manager);
    ASSERT_TRUE(b.assign(a));
    EXPECT_EQ(b.bits, 16u);
    EXPECT_EQ(b.channels, 3u);
    EXPECT_EQ(b.entries, 4u);
    ASSERT_NE(b.value(), nullptr);
    EXPECT_NE(b.value(), a.value());
    EXPECT_EQ(0, std::memcmp(a.value(), b.value(), 24));
    EXPECT_TRUE(b.assign(b));
    // Copying an empty palette empties the target and frees its bytes.
    Palette empty(&manager);
    const int64_t held = manager.memory_manager().outstanding();
    EXPECT_TRUE(b.assign(empty));
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(manager.memory_manager().outstanding(), held - 1);
}

TEST(VRX_Palette, CopyFailsWhenMemoryRunsOut) {
    TestManager manager;
    Palette a(&manager);
    ASSERT_TRUE(set_palette(a, 8, 3, 4));
    Palette b(&manager);
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(b.assign(a));
    EXPECT_EQ(b.value(), nullptr);
    EXPECT_EQ(manager.status().code, vrx::VRX_ERROR_OUT_OF_MEMORY);
}

TEST(VRX_Header, AssignCopiesEverything) {
    TestManager manager;
    VRX_Header a(&manager);
    a.width = 7;
    a.height = 9;
    a.bits = 8;
    a.channels = 1;
    a.data_type(VRX_DataType::u_integer());
    a.encode_type(VRX_EncodeType::pack_bits());
    a.color_type(VRX_ColorType::s_rgb());
    ASSERT_TRUE(set_palette(a.palette(), 8, 3, 3));
    VRX_Header b(&manager);
    ASSERT_TRUE(b.assign(a));
    EXPECT_EQ(b.width, 7u);
    EXPECT_EQ(b.height, 9u);
    EXPECT_EQ(b.bits, 8u);
    EXPECT_EQ(b.channels, 1u);
    EXPECT_EQ(b.encode_type(), VRX_EncodeType::pack_bits());
    EXPECT_EQ(b.color_type(), VRX_ColorType::s_rgb());
    EXPECT_EQ(b.palette().entries, 3u);
    EXPECT_NE(b.palette().value(), a.palette().value());
    EXPECT_TRUE(b.assign(b));
    VRX_Header c(&manager);
    EXPECT_TRUE(c.palette(a.palette()));
    EXPECT_EQ(c.palette().entries, 3u);
}

TEST(VRX_Header, FailedPaletteCopyLeavesOtherFields) {
    TestManager manager;
    VRX_Header a(&manager);
    a.width = 7;
    ASSERT_TRUE(set_palette(a.palette(), 8, 1, 2));
    VRX_Header b(&manager);
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(b.assign(a));
    EXPECT_EQ(b.width, 0u);
}

TEST(VRX_Header, NullTypesAreRefused) {
    TestManager manager;
    VRX_Header h(&manager);
    struct Case {
        bool (*set)(VRX_Header&);
        const char* function;
    } cases[] = {
        {[](VRX_Header& x) { return x.data_type(nullptr); }, "VRX_Header::data_type()"},
        {[](VRX_Header& x) { return x.encode_type(nullptr); }, "VRX_Header::encode_type()"},
        {[](VRX_Header& x) { return x.color_type(nullptr); }, "VRX_Header::color_type()"},
    };
    h.encode_type(VRX_EncodeType::jpeg());
    for (const Case& c : cases) {
        manager.reset();
        EXPECT_FALSE(c.set(h));
        expect_status(manager, vrx::VRX_ERROR_ARGUMENT, c.function);
    }
    EXPECT_EQ(h.data_type(), VRX_DataType::u_integer());
    EXPECT_EQ(h.encode_type(), VRX_EncodeType::jpeg());
    EXPECT_EQ(h.color_type(), VRX_ColorType::none());
}

TEST(VRX_Header, LineBytes) {
    TestManager manager;
    VRX_Header h(&manager);
    struct Case {
        uint16_t channels, bits;
        uint32_t width;
        bool ok;
        uint32_t bytes;
    } cases[] = {
        {1, 8, 10, true, 10},
        {3, 8, 10, true, 30},
        {1, 1, 9, true, 2},
        {1, 1, 8, true, 1},
        {3, 1, 3, true, 2},
        {1, 16, 5, true, 10},
        {4, 64, 1, true, 32},
        {1, 8, 0, true, 0},
        {1, 32, 0x3FFFFFFFu, true, 0xFFFFFFFCu},
        {1, 32, 0x40000000u, false, 0},
        {65535, 65535, 0xFFFFFFFFu, false, 0},
    };
    for (const Case& c : cases) {
        h.channels = c.channels;
        h.bits = c.bits;
        h.width = c.width;
        uint32_t bytes = 0;
        EXPECT_EQ(h.line_bytes(bytes), c.ok) << c.channels << "x" << c.bits << "x" << c.width;
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes);
        }
    }
    expect_status(manager, vrx::VRX_ERROR_ARGUMENT, "VRX_Header::line_bytes()");
}

TEST(VRX_Header, CreateOnTheHeap) {
    TestManager manager;
    VRX_Header a(&manager);
    a.width = 5;
    ASSERT_TRUE(set_palette(a.palette(), 8, 1, 2));
    VRX_Header* copy = VRX_Header::create(&manager, a);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->width, 5u);
    EXPECT_TRUE(copy->destroy());
    // Each of the two allocations (object, palette bytes) failing gives null
    // and keeps nothing.
    for (uint64_t n = 1; n <= 2; ++n) {
        const int64_t held = manager.memory_manager().outstanding();
        manager.memory_manager().fail_at(n);
        EXPECT_EQ(VRX_Header::create(&manager, a), nullptr) << n;
        EXPECT_EQ(manager.memory_manager().outstanding(), held) << n;
        manager.memory_manager().never_fail();
    }
}

}  // namespace
