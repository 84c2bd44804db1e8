#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/core/applypalette/vrx_applypalette.h"
#include "vrx/core/applypalette/vrx_applypalette1bit.h"
#include "vrx/core/applypalette/vrx_applypalette1bitengine.h"
#include "vrx/core/applypalette/vrx_applypalette8xnbits.h"
#include "vrx/core/applypalette/vrx_applypalette8xnbitsengine.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// A palette-colour image: index depth, size and the palette.
struct Indexed {
    uint16_t index_bits = 8;
    uint32_t width = 1;
    uint32_t height = 1;
    uint16_t entry_bits = 8;
    uint16_t channels = 3;
    uint32_t entries = 0;
    std::vector<uint8_t> palette;  // entries x channels samples of entry_bits
    std::vector<uint8_t> indices;  // the image lines
};

void describe_indexed(VRX_Header& header, const Indexed& image) {
    Format f;
    f.width = image.width;
    f.height = image.height;
    f.bits = image.index_bits;
    f.color = color_for(image.channels);
    describe(header, f);
    header.palette().bits = image.entry_bits;
    header.palette().channels = image.channels;
    header.palette().entries = image.entries;
    ASSERT_TRUE(header.palette().value(image.palette.data(),
                                       static_cast<uint32_t>(image.palette.size())));
}

// Applies the palette; the colour image in `out`. The output header is checked.
void apply_palette(const Indexed& image, std::vector<uint8_t>& out) {
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    describe_indexed(header, image);
    VRX_Engine* source = read_memory(manager, header, image.indices);
    ASSERT_NE(source, nullptr);
    VRX_Engine* engine = VRX_ApplyPalette(&manager).engine(source);
    ASSERT_NE(engine, nullptr);
    ASSERT_NE(engine, source);
    const VRX_Header* result = engine->header();
    EXPECT_EQ(result->bits, image.entry_bits);
    EXPECT_EQ(result->channels, image.channels);
    EXPECT_TRUE(result->palette().empty());
    EXPECT_EQ(result->width, image.width);
    EXPECT_EQ(result->height, image.height);
    EXPECT_EQ(result->data_type(), VRX_DataType::u_integer());
    EXPECT_EQ(result->color_type(), header.color_type());
    ASSERT_TRUE(write_memory(manager, engine, out));
    EXPECT_NO_ERROR(manager);
    EXPECT_TRUE(manager.execute());
}

uint32_t read_u32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The cases made by tests/data/vrx/make_palette_fixtures.py from pydicom's
// palettes and its apply_color_lut.
TEST(ApplyPalette, MatchesPydicomOnItsPalettes) {
    const char* names[] = {
        "hotiron_i8_p8",  "pet_i8_p8",    "hotmetalblue_i8_p8",         "pet20step_i8_p8",
        "spring_i8_p8",   "summer_i8_p8", "fall_i8_p8",                 "winter_i8_p8",
        "hotiron_i8_p16", "pet_i8_p16",   "spring_i8_p16",              "winter_i8_p16",
        "pet_i16_p8",     "summer200_i8_p8", "hotmetalblue4096_i16_p16", "fall2_i1_p8",
        "fall2_i1_p16",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(TEST_DATA_DIR) + "/vrx/palette/" + name + ".bin",
                           std::ios::binary);
        ASSERT_TRUE(file) << "missing fixture";
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 32u);
        ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "VRXPAL01");
        Indexed image;
        image.index_bits = static_cast<uint16_t>(read_u32(bytes, 8));
        image.entry_bits = static_cast<uint16_t>(read_u32(bytes, 12));
        image.channels = static_cast<uint16_t>(read_u32(bytes, 16));
        image.entries = read_u32(bytes, 20);
        image.width = read_u32(bytes, 24);
        image.height = read_u32(bytes, 28);
        const size_t palette_bytes = size_t{image.entries} * image.channels * image.entry_bits / 8;
        const size_t index_bytes =
            (size_t{image.index_bits} * image.width + 7) / 8 * image.height;
        const size_t colour_bytes =
            size_t{image.width} * image.height * image.channels * image.entry_bits / 8;
        ASSERT_EQ(bytes.size(), 32 + palette_bytes + index_bytes + colour_bytes);
        auto at = bytes.begin() + 32;
        image.palette.assign(at, at + palette_bytes);
        image.indices.assign(at + palette_bytes, at + palette_bytes + index_bytes);
        const std::vector<uint8_t> expected(at + palette_bytes + index_bytes, bytes.end());
        std::vector<uint8_t> out;
        apply_palette(image, out);
        EXPECT_EQ(out, expected);
    }
}

Indexed rgb8(uint16_t index_bits, uint32_t width, std::vector<uint8_t> palette) {
    Indexed image;
    image.index_bits = index_bits;
    image.width = width;
    image.entries = static_cast<uint32_t>(palette.size() / 3);
    image.palette = std::move(palette);
    return image;
}

TEST(ApplyPalette, OneBitImageWithOneEntry) {
    Indexed image = rgb8(1, 3, {7, 8, 9});
    image.indices = {0x40};  // pixels 0, 1, 0
    std::vector<uint8_t> out;
    apply_palette(image, out);
    EXPECT_EQ(out, (std::vector<uint8_t>{7, 8, 9, 0, 0, 0, 7, 8, 9}));
}

TEST(ApplyPalette, IndicesBeyondThePaletteGiveZeros) {
    std::vector<uint8_t> palette;
    for (int i = 0; i < 200; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(i + 1), 255});
    Indexed image = rgb8(8, 4, palette);
    image.indices = {0, 199, 200, 250};
    std::vector<uint8_t> out;
    apply_palette(image, out);
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 1, 255, 199, 200, 255, 0, 0, 0, 0, 0, 0}));
}

// Entries of one, two and four samples take other paths than three.
TEST(ApplyPalette, EntriesOfOtherChannelCounts) {
    for (uint16_t channels : {1, 2, 4, 5}) {
        SCOPED_TRACE(channels);
        Indexed image;
        image.width = 3;
        image.channels = channels;
        image.entries = 256;
        for (int e = 0; e < 256; ++e)
            for (int c = 0; c < channels; ++c) image.palette.push_back(uint8_t(e * 3 + c));
        image.indices = {5, 0, 255};
        std::vector<uint8_t> out;
        apply_palette(image, out);
        std::vector<uint8_t> want;
        for (int index : {5, 0, 255})
            for (int c = 0; c < channels; ++c) want.push_back(uint8_t(index * 3 + c));
        EXPECT_EQ(out, want);
    }
}

TEST(ApplyPalette, WorkingPaletteIsExtendedOnlyWhenShort) {
    for (uint32_t entries : {200u, 256u}) {
        SCOPED_TRACE(entries);
        VRX_DefaultManager manager;
        std::vector<uint8_t> palette(entries * 3);
        for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint8_t(i * 7 + 1);
        Indexed image = rgb8(8, 2, palette);
        image.indices = {0, 1};
        VRX_Header header(&manager);
        describe_indexed(header, image);
        VRX_Engine* source = read_memory(manager, header, image.indices);
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager.new_dst_buffer();
        auto* engine = construct<VRX_ApplyPalette8xNBitsEngine<uint8_t, uint8_t>>(&manager);
        ASSERT_TRUE(engine->initiate(&header, src, dst));
        const VRX_Header::VRX_Palette& working = engine->working_palette();
        EXPECT_EQ(working.entries, 256u);
        EXPECT_EQ(working.channels, 3);
        EXPECT_EQ(working.bits, 8);
        std::vector<uint8_t> want = palette;
        want.resize(256 * 3, 0);
        EXPECT_EQ(std::vector<uint8_t>(working.value(), working.value() + 768), want);
        engine->set_initiated();
        ASSERT_NE(VRX_EngineCreator(&manager).regist_engine(engine, src, dst), nullptr);
        EXPECT_TRUE(manager.execute());
    }
}

TEST(ApplyPalette, ImageWithoutPaletteComesBack) {
    VRX_DefaultManager manager;
    Format f;
    const std::vector<uint8_t> bytes(1, 0);
    VRX_Engine* source = read_memory(manager, f, bytes);
    EXPECT_EQ(VRX_ApplyPalette(&manager).engine(source), source);
    EXPECT_EQ(VRX_ApplyPalette1Bit(&manager).engine(source), source);
    EXPECT_EQ(VRX_ApplyPalette8xNBits(&manager).engine(source), source);
    EXPECT_NO_ERROR(manager);
}

TEST(ApplyPalette, IndexDepthsWithoutAnEngine) {
    for (uint16_t bits : {2, 4}) {
        SCOPED_TRACE(bits);
        VRX_DefaultManager manager;
        Indexed image = rgb8(bits, 4, {1, 2, 3, 4, 5, 6});
        image.indices = {0, 0};
        VRX_Header header(&manager);
        describe_indexed(header, image);
        VRX_Engine* source = read_memory(manager, header, image.indices);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(VRX_ApplyPalette(&manager).engine(source), nullptr);
        EXPECT_STATUS(manager, 0x81000000, "VRX_ApplyPalette8xNBitsEngine::initiate()");
        EXPECT_FALSE(manager.execute());
    }
}

TEST(ApplyPalette, BaseRefusesASourceWithoutPalette) {
    VRX_DefaultManager manager;
    Format f;
    const std::vector<uint8_t> bytes(1, 0);
    VRX_Engine* source = read_memory(manager, f, bytes);
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager.new_dst_buffer();
    auto* engine = construct<VRX_ApplyPalette8xNBitsEngine<uint8_t, uint8_t>>(&manager);
    EXPECT_FALSE(engine->initiate(source->header(), src, dst));
    EXPECT_STATUS(manager, 0x81000000, "VRX_ApplyPaletteEngine::initiate()");
    engine->destroy();
    VRX_EngineCreator(&manager).regist_engine(nullptr, src, dst);
}

// Builds an E by hand and runs its initiate; the engine is destroyed again.
template <class E>
bool initiate_by_hand(VRX_Manager* manager, const VRX_Header* header, VRX_SrcBuffer* src,
                      VRX_DstBuffer* dst) {
    auto* engine = construct<E>(manager);
    const bool ok = engine->initiate(header, src, dst);
    engine->destroy();
    return ok;
}

// An engine whose sample types do not match the palette's entries (only
// reachable by building the engine by hand) refuses it instead of reading
// and writing past the table and the line.
TEST(ApplyPalette, EnginesRefuseEntriesOfAnotherWidth) {
    struct Case {
        const char* name;
        uint16_t index_bits;
        uint16_t entry_bits;
        bool (*initiate)(VRX_Manager*, const VRX_Header*, VRX_SrcBuffer*, VRX_DstBuffer*);
        const char* function;
    };
    const char* text8 = "VRX_ApplyPalette8xNBitsEngine::initiate()";
    const char* text1 = "VRX_ApplyPalette1BitEngine::initiate()";
    const Case cases[] = {
        {"8-bit entries, 16-bit engine", 8, 8,
         initiate_by_hand<VRX_ApplyPalette8xNBitsEngine<uint8_t, uint16_t>>, text8},
        {"16-bit entries, 8-bit engine", 8, 16,
         initiate_by_hand<VRX_ApplyPalette8xNBitsEngine<uint8_t, uint8_t>>, text8},
        {"one bit, 8-bit entries, 16-bit engine", 1, 8,
         initiate_by_hand<VRX_ApplyPalette1BitEngine<uint16_t>>, text1},
        {"one bit, 16-bit entries, 8-bit engine", 1, 16,
         initiate_by_hand<VRX_ApplyPalette1BitEngine<uint8_t>>, text1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        Indexed image;
        image.index_bits = c.index_bits;
        image.entry_bits = c.entry_bits;
        image.width = 4;
        image.entries = 2;
        image.palette.assign(size_t{2} * 3 * c.entry_bits / 8, 0x11);
        image.indices.assign(4, 1);
        VRX_Header header(&manager);
        describe_indexed(header, image);
        VRX_Engine* source = read_memory(manager, header, image.indices);
        ASSERT_NE(source, nullptr);
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager.new_dst_buffer();
        EXPECT_FALSE(c.initiate(&manager, &header, src, dst));
        EXPECT_STATUS(manager, 0x81000000, c.function);
        VRX_EngineCreator(&manager).regist_engine(nullptr, src, dst);
    }
}

TEST(ApplyPalette, MissingSource) {
    struct Case {
        const char* function;
        VRX_Engine* (*call)(VRX_Manager*);
    };
    const Case cases[] = {
        {"VRX_ApplyPalette::engine()",
         [](VRX_Manager* m) { return VRX_ApplyPalette(m).engine(nullptr); }},
        {"VRX_ApplyPalette1Bit::engine()",
         [](VRX_Manager* m) { return VRX_ApplyPalette1Bit(m).engine(nullptr); }},
        {"VRX_ApplyPalette8xNBits::engine()",
         [](VRX_Manager* m) { return VRX_ApplyPalette8xNBits(m).engine(nullptr); }},
    };
    for (const Case& c : cases) {
        VRX_DefaultManager manager;
        EXPECT_EQ(c.call(&manager), nullptr);
        EXPECT_STATUS(manager, 0x80800000, c.function);
    }
}

}  // namespace
