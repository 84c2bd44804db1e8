#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/vrx/core/channel/channel_chain.h"
#include "vrx/core/channel/vrx_mergechannel.h"
#include "vrx/core/channel/vrx_mergechannel1bit.h"
#include "vrx/core/channel/vrx_mergechannel8xnbits.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// Merges the inputs; the merged image in `out` (empty on failure).
bool merge(const Planes& planes, const VRX_ColorType* color, std::vector<uint8_t>& out) {
    VRX_DefaultManager manager;
    VRX_Vector<VRX_Engine*> sources = sources_of(manager, planes);
    VRX_Engine* merged = VRX_MergeChannel(&manager).engine(sources, color);
    if (!merged) return false;
    uint32_t channels = 0;
    for (const Format& f : planes.formats) channels += f.channels;
    EXPECT_EQ(merged->header()->channels, channels);
    EXPECT_EQ(merged->header()->color_type(), color);
    const bool ok = write_memory(manager, merged, out);
    EXPECT_NO_ERROR(manager);
    return ok && manager.execute();
}

// Inputs of random samples of T with the given channel counts, merged and
// split again by a plain de-interleave: every input comes back.
template <class T>
void round_trip(std::vector<uint16_t> channels, uint32_t width, uint32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    Planes planes;
    uint32_t total = 0;
    for (uint16_t c : channels) {
        const Format f = format_of<T>(width, height, c);
        std::vector<T> samples(size_t{width} * height * c);
        for (T& s : samples) s = static_cast<T>(random() % 100000) / static_cast<T>(3);
        planes.formats.push_back(f);
        planes.bytes.push_back(to_bytes(samples));
        total += c;
    }
    std::vector<uint8_t> out;
    ASSERT_TRUE(merge(planes, color_for(total), out));
    const std::vector<T> merged = from_bytes<T>(out);
    ASSERT_EQ(merged.size(), size_t{width} * height * total);
    uint32_t offset = 0;
    for (size_t i = 0; i < channels.size(); ++i) {
        const std::vector<T> plane = from_bytes<T>(planes.bytes[i]);
        const uint32_t c = channels[i];
        size_t wrong = 0;
        for (size_t p = 0; p < size_t{width} * height; ++p)
            for (uint32_t k = 0; k < c; ++k)
                wrong += merged[p * total + offset + k] != plane[p * c + k];
        EXPECT_EQ(wrong, 0u) << "input " << i;
        offset += c;
    }
}

TEST(MergeChannel, RoundTripsForEverySampleTypeAndInputCount) {
    for (size_t n : {2, 3, 4, 5, 6, 7}) {
        SCOPED_TRACE(n);
        const std::vector<uint16_t> ones(n, 1);
        round_trip<uint8_t>(ones, 13, 5, 1);
        round_trip<int8_t>(ones, 13, 5, 2);
        round_trip<uint16_t>(ones, 13, 5, 3);
        round_trip<int16_t>(ones, 13, 5, 4);
        round_trip<uint32_t>(ones, 13, 5, 5);
        round_trip<int32_t>(ones, 13, 5, 6);
        round_trip<float>(ones, 13, 5, 7);
        round_trip<double>(ones, 13, 5, 8);
    }
}

TEST(MergeChannel, RoundTripsWithSeveralChannelsPerInput) {
    round_trip<uint16_t>({2, 1}, 7, 3, 11);
    round_trip<uint8_t>({3, 1}, 9, 4, 12);
    round_trip<float>({1, 3, 2}, 5, 2, 13);
}

TEST(MergeChannel, ThreeBytePlanes) {
    Planes planes;
    Format f;
    f.width = 2;
    planes.formats.assign(3, f);
    planes.bytes = {{10, 20}, {30, 40}, {50, 60}};
    std::vector<uint8_t> out;
    ASSERT_TRUE(merge(planes, VRX_ColorType::s_rgb(), out));
    EXPECT_EQ(out, (std::vector<uint8_t>{10, 30, 50, 20, 40, 60}));
}

TEST(MergeChannel, OneSourceIsReturned) {
    VRX_DefaultManager manager;
    Format f;
    const std::vector<uint8_t> bytes(1, 0);
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(read_memory(manager, f, bytes));
    EXPECT_EQ(VRX_MergeChannel(&manager).engine(sources, VRX_ColorType::gray()), sources[0]);
    EXPECT_NO_ERROR(manager);
}

// One-bit planes of every width up to 25 and 2 to 5 inputs (3 and 4 have
// their own path) against the bit-by-bit rule; padding bits of the inputs
// must not leak into the output.
TEST(MergeChannel, OneBitPlanesAgainstTheBitRule) {
    std::mt19937 random(21);
    for (uint32_t n = 2; n <= 5; ++n) {
        for (uint32_t width = 1; width <= 25; ++width) {
            SCOPED_TRACE(testing::Message() << n << " inputs, width " << width);
            Planes planes;
            Format f;
            f.width = width;
            f.height = 2;
            f.bits = 1;
            for (uint32_t i = 0; i < n; ++i) {
                std::vector<uint8_t> bytes(line_bytes(f) * f.height);
                for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
                planes.formats.push_back(f);
                planes.bytes.push_back(bytes);
            }
            std::vector<uint8_t> out;
            ASSERT_TRUE(merge(planes, color_for(n), out));
            const size_t in_line = line_bytes(f);
            const size_t out_line = (size_t{n} * width + 7) / 8;
            ASSERT_EQ(out.size(), out_line * 2);
            for (uint32_t row = 0; row < 2; ++row) {
                for (size_t at = 0; at < out_line * 8; ++at) {
                    const size_t p = at / n, i = at % n;
                    const bool want = at < size_t{n} * width &&
                                      bit_at(planes.bytes[i], row * in_line * 8 + p);
                    ASSERT_EQ(bit_at(out, row * out_line * 8 + at), want) << "bit " << at;
                }
            }
        }
    }
}

TEST(MergeChannel, ThreeOneBitPlanesDocumentedBytes) {
    Planes planes;
    Format f;
    f.width = 10;
    f.bits = 1;
    planes.formats.assign(3, f);
    planes.bytes = {{0xFF, 0xC0}, {0x00, 0x40}, {0xFF, 0x00}};
    std::vector<uint8_t> out;
    ASSERT_TRUE(merge(planes, VRX_ColorType::s_rgb(), out));
    // Pixels 8 and 9: (1, 0, 0) and (1, 1, 0).
    EXPECT_EQ(out, (std::vector<uint8_t>{0xB6, 0xDB, 0x6D, 0x98}));
}

struct Case {
    const char* name;
    std::vector<Format> formats;
    const VRX_ColorType* color;
    uint32_t code;
    const char* function;
};

Format plane(uint32_t width, uint32_t height, uint16_t bits = 8,
             const VRX_DataType* type = VRX_DataType::u_integer()) {
    return image_format(width, height, bits, 1, type);
}

TEST(MergeChannel, Refusals) {
    Format encoded = plane(4, 2);
    encoded.encode = VRX_EncodeType::pack_bits();
    Format two_bit_channels = plane(4, 2, 1);
    two_bit_channels.channels = 2;
    two_bit_channels.color = VRX_ColorType::unknown();
    const char* merge_text = "VRX_MergeChannelEngine::initiate()";
    const Case cases[] = {
        {"widths differ", {plane(4, 2), plane(5, 2)}, VRX_ColorType::unknown(), 0x80800000,
         merge_text},
        {"heights differ", {plane(4, 2), plane(4, 3)}, VRX_ColorType::unknown(), 0x80800000,
         merge_text},
        {"depths differ", {plane(4, 2, 16), plane(4, 2, 8)}, VRX_ColorType::unknown(), 0x80800000,
         merge_text},
        {"data types differ",
         {plane(4, 2, 16), plane(4, 2, 16, VRX_DataType::s_integer())},
         VRX_ColorType::unknown(), 0x80800000, merge_text},
        {"encoded input", {plane(4, 2), encoded}, VRX_ColorType::unknown(), 0x81000000, merge_text},
        {"colour type of another channel count",
         {plane(4, 2), plane(4, 2), plane(4, 2), plane(4, 2)}, VRX_ColorType::s_rgb(), 0x80800000,
         merge_text},
        {"two-channel input of a one-bit merge", {plane(4, 2, 1), two_bit_channels},
         VRX_ColorType::s_rgb(), 0x81000000, "VRX_MergeChannel1bitEngine::initiate()"},
        {"depth without an instance", {plane(4, 2, 4), plane(4, 2, 4)}, VRX_ColorType::unknown(),
         0x81000000, "VRX_MergeChannel8xNbitsEngine::initiate()"},
        {"data type without an instance",
         {plane(4, 2, 8, VRX_DataType::unknown()), plane(4, 2, 8, VRX_DataType::unknown())},
         VRX_ColorType::unknown(), 0x81000000, "VRX_MergeChannel8xNbits::engine()"},
    };
    std::vector<Refusal> refusals;
    for (const Case& c : cases) {
        refusals.emplace_back(c.name, [c](VRX_Manager& m) {
            VRX_Vector<VRX_Engine*> sources(&m);
            for (const Format& f : c.formats) sources.push_back(read_memory(m, f, zero_bytes()));
            return VRX_MergeChannel(&m).engine(sources, c.color);
        }, c.code, c.function);
    }
    expect_refusals(refusals);
}

TEST(MergeChannel, InputWithAPaletteIsRefused) {
    VRX_DefaultManager manager;
    VRX_Header indexed(&manager);
    describe(indexed, plane(4, 2));
    indexed.color_type(VRX_ColorType::s_rgb());
    indexed.palette().bits = 8;
    indexed.palette().channels = 3;
    indexed.palette().entries = 2;
    const uint8_t entries[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(indexed.palette().value(entries, 6));
    const std::vector<uint8_t> bytes(8, 0);
    VRX_Vector<VRX_Engine*> sources(&manager);
    sources.push_back(read_memory(manager, indexed, bytes));
    sources.push_back(read_memory(manager, indexed, bytes));
    EXPECT_EQ(VRX_MergeChannel(&manager).engine(sources, VRX_ColorType::unknown()), nullptr);
    EXPECT_STATUS(manager, 0x81000000, "VRX_MergeChannelEngine::initiate()");
}

TEST(MergeChannel, MissingSources) {
    {
        VRX_DefaultManager manager;
        VRX_Vector<VRX_Engine*> none(&manager);
        EXPECT_EQ(VRX_MergeChannel(&manager).engine(none, VRX_ColorType::gray()), nullptr);
        EXPECT_STATUS(manager, 0x80800000, "VRX_MergeChannel::engine()");
    }
    {
        VRX_DefaultManager manager;
        VRX_Vector<VRX_Engine*> first_null(&manager);
        first_null.push_back(nullptr);
        EXPECT_EQ(VRX_MergeChannel(&manager).engine(first_null, VRX_ColorType::gray()), nullptr);
        EXPECT_STATUS(manager, 0x80800000, "VRX_MergeChannel::engine()");
    }
    for (uint16_t bits : {1, 8}) {
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(8, 0);
        VRX_Vector<VRX_Engine*> sources(&manager);
        sources.push_back(read_memory(manager, plane(4, 2, bits), bytes));
        sources.push_back(nullptr);
        EXPECT_EQ(VRX_MergeChannel(&manager).engine(sources, VRX_ColorType::unknown()), nullptr);
        EXPECT_STATUS(manager, 0x80800000,
                      bits == 1 ? "VRX_MergeChannel1bit::engine()"
                                : "VRX_MergeChannel8xNbits::engine()");
        EXPECT_FALSE(manager.execute());
    }
    {
        VRX_DefaultManager manager;
        VRX_Vector<VRX_Engine*> none(&manager);
        EXPECT_EQ(VRX_MergeChannel8xNbits(&manager).engine(none, VRX_ColorType::gray()), nullptr);
        EXPECT_STATUS(manager, 0x80800000, "VRX_MergeChannel8xNbits::engine()");
    }
}

}  // namespace
