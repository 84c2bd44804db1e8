#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

#include "tests/vrx/core/channel/channel_chain.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/channel/vrx_mergechannel.h"
#include "vrx/core/channel/vrx_select1channel.h"
#include "vrx/core/channel/vrx_select1channel1bit.h"
#include "vrx/core/channel/vrx_select1channel8xnbits.h"
#include "vrx/core/channel/vrx_selectchannel.h"
#include "vrx/core/channel/vrx_selectnchannel.h"
#include "vrx/core/channel/vrx_selectnchannel1bit.h"
#include "vrx/core/channel/vrx_selectnchannel8xnbits.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// The selection done the plain way: every sample is `bits` bits of the
// line's bit stream (a one-bit sample, or the bytes of a wider one in memory
// order); the chosen ones are packed again into zeroed lines.
std::vector<uint8_t> reference(const std::vector<uint8_t>& image, const Format& f, uint32_t first,
                               uint32_t count) {
    Format o = f;
    o.channels = static_cast<uint16_t>(count);
    const size_t in_line = line_bytes(f) * 8, out_line = line_bytes(o) * 8;
    std::vector<uint8_t> out(line_bytes(o) * f.height, 0);
    for (size_t row = 0; row < f.height; ++row)
        for (size_t p = 0; p < f.width; ++p)
            for (size_t k = 0; k < count; ++k)
                for (size_t j = 0; j < f.bits; ++j)
                    set_bit(
                        out, row * out_line + (p * count + k) * f.bits + j,
                        bit_at(image, row * in_line + (p * f.channels + first + k) * f.bits + j));
    return out;
}

// Random lines whose padding bits are all set: none may reach the output.
std::vector<uint8_t> random_image(std::mt19937& random, const Format& f) {
    const size_t line = line_bytes(f);
    std::vector<uint8_t> image(line * f.height);
    for (uint8_t& b : image)
        b = static_cast<uint8_t>(random());
    for (size_t row = 0; row < f.height; ++row)
        for (size_t bit = size_t{f.channels} * f.bits * f.width; bit < line * 8; ++bit)
            set_bit(image, row * line * 8 + bit, true);
    return image;
}

// Every channel and every run of channels of images of 2 to 5 channels,
// through the public front end, against the reference. Two channels are
// asked with another or no colour type and must come out unknown.
void sweep(uint16_t bits, const VRX_DataType* type, std::initializer_list<uint32_t> widths,
           uint32_t seed) {
    std::mt19937 random(seed);
    for (uint16_t channels = 2; channels <= 5; ++channels) {
        for (uint32_t width : widths) {
            Format f;
            f.width = width;
            f.height = 3;
            f.bits = bits;
            f.channels = channels;
            f.type = type;
            f.color = color_for(channels);
            const std::vector<uint8_t> image = random_image(random, f);
            for (uint16_t first = 0; first < channels; ++first) {
                for (uint16_t count = 1; first + count <= channels; ++count) {
                    SCOPED_TRACE(testing::Message()
                                 << bits << " bits, " << channels << " channels, width " << width
                                 << ", first " << first << ", count " << count);
                    VRX_DefaultManager manager;
                    VRX_Engine* source = read_memory(manager, f, image);
                    const VRX_ColorType* color = color_for(count);
                    if (count == 2) color = width % 2 ? nullptr : VRX_ColorType::s_rgb();
                    VRX_SelectChannel creator(&manager);
                    VRX_Engine* selected = count == 1 && width % 2
                                               ? creator.engine(source, first, color)
                                               : creator.engine(source, first, count, color);
                    if (first == 0 && count == channels) {
                        EXPECT_EQ(selected, source);
                        continue;
                    }
                    ASSERT_NE(selected, nullptr);
                    const VRX_Header& out_header = *selected->header();
                    EXPECT_EQ(out_header.channels, count);
                    EXPECT_EQ(out_header.color_type(),
                              count == 2 ? VRX_ColorType::unknown() : color);
                    EXPECT_EQ(out_header.bits, bits);
                    EXPECT_EQ(out_header.data_type(), type);
                    EXPECT_EQ(out_header.width, width);
                    std::vector<uint8_t> out;
                    ASSERT_TRUE(take_lines(selected, out, 0xFF));
                    EXPECT_EQ(out, reference(image, f, first, count));
                    EXPECT_NO_ERROR(manager);
                }
            }
        }
    }
}

TEST(SelectChannel, EveryChannelAndRunAgainstTheReference) {
    sweep(1, VRX_DataType::u_integer(),
          {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 1);
    sweep(8, VRX_DataType::u_integer(), {1, 6, 13}, 2);
    sweep(16, VRX_DataType::u_integer(), {1, 6, 13}, 3);
    sweep(32, VRX_DataType::floating(), {1, 6, 13}, 4);
    sweep(64, VRX_DataType::floating(), {1, 6, 13}, 5);
}

// The unrolled three and four-channel one-bit paths on lines worked out by
// hand: pixels (1, 0, 1) eight times, and pixels 1000 1111 0000 0000 1111
// 0000 0000 1111.
TEST(SelectChannel, OneBitLinesWorkedByHand) {
    struct Case {
        uint16_t channels;
        std::vector<uint8_t> line;
        std::vector<uint8_t> per_channel;
    };
    const Case cases[] = {
        {3, {0xB6, 0xDB, 0x6D}, {0xFF, 0x00, 0xFF}},
        {4, {0x8F, 0x00, 0xF0, 0x0F}, {0xC9, 0x49, 0x49, 0x49}},
    };
    for (const Case& c : cases) {
        for (uint16_t channel = 0; channel < c.channels; ++channel) {
            VRX_DefaultManager manager;
            Format f;
            f.width = 8;
            f.bits = 1;
            f.channels = c.channels;
            f.color = color_for(c.channels);
            VRX_Engine* selected = VRX_Select1Channel(&manager).engine(
                read_memory(manager, f, c.line), channel, VRX_ColorType::gray());
            std::vector<uint8_t> out;
            ASSERT_TRUE(take_lines(selected, out));
            EXPECT_EQ(out, std::vector<uint8_t>{c.per_channel[channel]}) << "channel " << channel;
        }
    }
}

// Planes merged into one image and selected one by one come back unchanged.
TEST(SelectChannel, MergeThenSelectGivesBackEveryPlane) {
    std::mt19937 random(9);
    for (uint16_t bits : {1, 8, 16}) {
        for (uint16_t n = 2; n <= 5; ++n) {
            Planes planes;
            Format f;
            f.width = 21;
            f.height = 4;
            f.bits = bits;
            for (uint16_t i = 0; i < n; ++i) {
                planes.formats.push_back(f);
                planes.bytes.push_back(random_image(random, f));
            }
            for (uint16_t i = 0; i < n; ++i) {
                SCOPED_TRACE(testing::Message() << bits << " bits, plane " << i << " of " << n);
                VRX_DefaultManager manager;
                VRX_Engine* merged =
                    VRX_MergeChannel(&manager).engine(sources_of(manager, planes), color_for(n));
                VRX_Engine* plane = VRX_SelectChannel(&manager).engine(merged, i, f.color);
                std::vector<uint8_t> out;
                ASSERT_TRUE(write_memory(manager, plane, out));
                EXPECT_EQ(out, reference(planes.bytes[i], f, 0, 1));
                EXPECT_TRUE(manager.execute());
            }
        }
    }
}

// No failing allocation while a selection is built or run crashes, leaks or
// ends in success.
TEST(SelectChannel, AllocationFailures) {
    for (uint16_t bits : {1, 8}) {
        Format f;
        f.width = 11;
        f.height = 3;
        f.bits = bits;
        f.channels = 4;
        f.color = VRX_ColorType::cmyk();
        std::mt19937 random(bits);
        const std::vector<uint8_t> image = random_image(random, f);
        for (uint16_t count : {1, 3}) {
            vrx_test::sweep_allocation_failures("select", 200, [&](VRX_Manager& manager) {
                VRX_Engine* selected = VRX_SelectChannel(&manager).engine(
                    read_memory(manager, f, image), 1, count, color_for(count));
                std::vector<uint8_t> out;
                return write_memory(manager, selected, out) && out == reference(image, f, 1, count);
            });
        }
    }
}

// Which creator a refusal goes through.
enum class Via { Select1, SelectN, Front, Leaf1Bit, Leaf18xN, LeafNBit, LeafN8xN };

VRX_Engine* call(Via via, VRX_Manager* m, VRX_Engine* source, uint16_t first, uint16_t count,
                 const VRX_ColorType* color) {
    switch (via) {
        case Via::Select1: return VRX_Select1Channel(m).engine(source, first, color);
        case Via::SelectN: return VRX_SelectNChannel(m).engine(source, first, count, color);
        case Via::Front: return VRX_SelectChannel(m).engine(source, first, count, color);
        case Via::Leaf1Bit: return VRX_Select1Channel1bit(m).engine(source, first, color);
        case Via::Leaf18xN: return VRX_Select1Channel8xNbits(m).engine(source, first, color);
        case Via::LeafNBit: return VRX_SelectNChannel1bit(m).engine(source, first, count, color);
        case Via::LeafN8xN: return VRX_SelectNChannel8xNbits(m).engine(source, first, count, color);
    }
    return nullptr;
}

Format image(uint16_t bits, uint16_t channels, const VRX_DataType* type = VRX_DataType::u_integer(),
             const VRX_EncodeType* encode = VRX_EncodeType::raw()) {
    return image_format(5, 2, bits, channels, type, encode);
}

struct Case {
    const char* name;
    Via via;
    Format format;  // width 0: no source at all
    uint16_t first, count;
    const VRX_ColorType* color;
    uint32_t code;
    const char* function;
    uint32_t line;
};

TEST(SelectChannel, Refusals) {
    const VRX_DataType* any = VRX_DataType::unknown();
    const VRX_EncodeType* packed = VRX_EncodeType::pack_bits();
    const VRX_ColorType* gray = VRX_ColorType::gray();
    const VRX_ColorType* rgb = VRX_ColorType::s_rgb();
    Format none = image(8, 3);
    none.width = 0;
    const char* s11 = "VRX_Select1Channel1bitEngine::initiate()";
    const char* s18 = "VRX_Select1Channel8xNbitsEngine::initiate()";
    const char* sn1 = "VRX_SelectNChannel1bitEngine::initiate()";
    const char* sn8 = "VRX_SelectNChannel8xNbitsEngine::initiate()";
    const Case cases[] = {
        {"front end, one channel: no source", Via::Select1, none, 0, 1, gray, 0x80800000,
         "VRX_Select1Channel::engine()", 50},
        {"front end, one channel: 12 bits", Via::Select1, image(12, 3, any), 0, 1, gray, 0x81000000,
         "VRX_Select1Channel::engine()", 71},
        {"front end, several: no source", Via::SelectN, none, 0, 2, gray, 0x80800000,
         "VRX_SelectNChannel::engine()", 52},
        {"front end, several: 12 bits", Via::SelectN, image(12, 3, any), 0, 2, gray, 0x81000000,
         "VRX_SelectNChannel::engine()", 75},
        {"public entry, count 1: no source", Via::Front, none, 0, 1, gray, 0x80800000,
         "VRX_Select1Channel::engine()", 50},
        {"public entry, count 0", Via::Front, image(8, 3), 0, 0, gray, 0x80800000, sn8, 99},
        {"leaf: no source", Via::Leaf1Bit, none, 0, 1, gray, 0x80800000,
         "VRX_Select1Channel1bit::engine()", 49},
        {"leaf: no source", Via::Leaf18xN, none, 0, 1, gray, 0x80800000,
         "VRX_Select1Channel8xNbits::engine()", 49},
        {"leaf: no source", Via::LeafNBit, none, 0, 2, gray, 0x80800000,
         "VRX_SelectNChannel1bit::engine()", 50},
        {"leaf: no source", Via::LeafN8xN, none, 0, 2, gray, 0x80800000,
         "VRX_SelectNChannel8xNbits::engine()", 50},
        {"1 bit: channel 3 of 3", Via::Select1, image(1, 3), 3, 1, gray, 0x80800000, s11, 208},
        {"1 bit: three-channel colour type", Via::Select1, image(1, 3), 0, 1, rgb, 0x80800000, s11,
         208},
        {"1 bit: no colour type", Via::Select1, image(1, 4), 1, 1, nullptr, 0x80800000, s11, 208},
        {"1 bit: not unsigned", Via::Select1, image(1, 3, any), 0, 1, gray, 0x81000000, s11, 214},
        {"1 bit: encoded", Via::Leaf1Bit, image(8, 3, any, packed), 0, 1, gray, 0x81000000, s11,
         214},
        {"8xN: channel 3 of 3", Via::Select1, image(8, 3), 3, 1, gray, 0x80800000, s18, 100},
        {"8xN: three-channel colour type", Via::Select1, image(16, 3), 0, 1, rgb, 0x80800000, s18,
         100},
        {"8xN: no colour type", Via::Select1, image(8, 3), 1, 1, nullptr, 0x80800000, s18, 100},
        {"8xN: 24 bits", Via::Select1, image(24, 3, any), 0, 1, gray, 0x81000000, s18, 106},
        {"8xN: encoded", Via::Select1, image(8, 3, any, packed), 0, 1, gray, 0x81000000, s18, 106},
        {"8xN: the arguments are checked first", Via::Select1, image(24, 3, any), 3, 1, gray,
         0x80800000, s18, 100},
        {"1 bit, several: past the last channel", Via::SelectN, image(1, 3), 2, 2, nullptr,
         0x80800000, sn1, 96},
        {"1 bit, several: first 65535 count 2", Via::SelectN, image(1, 3), 65535, 2, nullptr,
         0x80800000, sn1, 96},
        {"1 bit, several: count 0", Via::LeafNBit, image(1, 3), 1, 0, gray, 0x80800000, sn1, 96},
        {"1 bit, several: colour type of another count", Via::SelectN, image(1, 4), 0, 3, gray,
         0x80800000, sn1, 96},
        {"1 bit, several: no colour type", Via::SelectN, image(1, 4), 1, 3, nullptr, 0x80800000,
         sn1, 96},
        {"1 bit, several: encoded", Via::LeafNBit, image(8, 3, any, packed), 0, 2, gray, 0x81000000,
         sn1, 102},
        {"8xN, several: past the last channel", Via::SelectN, image(8, 3), 1, 3, rgb, 0x80800000,
         sn8, 99},
        {"8xN, several: first 65535 count 2", Via::SelectN, image(16, 3), 65535, 2, nullptr,
         0x80800000, sn8, 99},
        {"8xN, several: no colour type", Via::SelectN, image(8, 4), 0, 3, nullptr, 0x80800000, sn8,
         99},
        {"8xN, several: no colour type of five channels", Via::SelectN, image(8, 6), 1, 5,
         VRX_ColorType::unknown(), 0x80800000, sn8, 99},
        {"8xN, several: 24 bits", Via::SelectN, image(24, 3, any), 0, 2, gray, 0x81000000, sn8,
         105},
        {"8xN, several: encoded", Via::SelectN, image(16, 3, any, packed), 0, 2, gray, 0x81000000,
         sn8, 105},
    };
    std::vector<Refusal> refusals;
    for (const Case& c : cases) {
        auto build = [c](VRX_Manager& m) {
            VRX_Engine* source = c.format.width ? read_memory(m, c.format, zero_bytes()) : nullptr;
            return call(c.via, &m, source, c.first, c.count, c.color);
        };
        refusals.emplace_back(c.name, build, c.code, c.function, c.line);
    }
    expect_refusals(refusals);
}

// A one-channel source comes back from every creator, whatever is asked.
TEST(SelectChannel, OneChannelSourceIsReturned) {
    for (uint16_t bits : {1, 8}) {
        for (Via via : {Via::Select1, Via::SelectN, Via::Front, Via::Leaf1Bit, Via::Leaf18xN,
                        Via::LeafNBit, Via::LeafN8xN}) {
            VRX_DefaultManager manager;
            const std::vector<uint8_t> bytes(16, 0);
            VRX_Engine* source = read_memory(manager, image(bits, 1), bytes);
            EXPECT_EQ(call(via, &manager, source, 7, 3, VRX_ColorType::s_rgb()), source);
            EXPECT_NO_ERROR(manager);
        }
    }
}

}  // namespace
