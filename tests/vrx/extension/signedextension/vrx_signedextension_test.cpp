#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"
#include "vrx/extension/signedextension/vrx_signedextensionengine.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// The value of the low high_bit + 1 bits of x read as two's complement.
int32_t reference(uint32_t x, unsigned high_bit) {
    const uint32_t width = 1u << (high_bit + 1);
    const uint32_t kept = x & (width - 1);
    return (kept & (width >> 1)) ? static_cast<int32_t>(kept) - static_cast<int32_t>(width)
                                 : static_cast<int32_t>(kept);
}

Format signed_format(uint16_t bits, uint32_t width, uint32_t height, uint16_t channels = 1) {
    return image_format(width, height, bits, channels, VRX_DataType::s_integer());
}

// Every pattern of T, for every high bit below the top one.
template <class T>
void every_input_for_every_high_bit() {
    constexpr uint16_t bits = sizeof(T) * 8;
    constexpr uint32_t side = 1u << (bits / 2);
    std::vector<T> all(side * side);
    for (uint32_t x = 0; x < all.size(); ++x) all[x] = static_cast<T>(x);
    const std::vector<uint8_t> bytes = to_bytes(all);
    for (unsigned high_bit = 0; high_bit + 1 < bits; ++high_bit) {
        SCOPED_TRACE(high_bit);
        VRX_DefaultManager manager;
        VRX_Engine* source = read_memory(manager, signed_format(bits, side, side), bytes);
        VRX_Engine* engine = VRX_SignedExtension(&manager).engine(source, high_bit);
        ASSERT_NE(engine, nullptr);
        ASSERT_NE(engine, source);
        EXPECT_EQ(engine->header()->bits, bits);
        EXPECT_EQ(engine->header()->data_type(), VRX_DataType::s_integer());
        std::vector<uint8_t> out;
        ASSERT_TRUE(write_memory(manager, engine, out));
        const std::vector<T> result = from_bytes<T>(out);
        size_t wrong = 0;
        for (uint32_t x = 0; x < all.size(); ++x) wrong += result[x] != reference(x, high_bit);
        EXPECT_EQ(wrong, 0u);
        EXPECT_NO_ERROR(manager);
        EXPECT_TRUE(manager.execute());
    }
}

TEST(SignedExtension, Every16BitInputForEveryHighBit) { every_input_for_every_high_bit<int16_t>(); }

TEST(SignedExtension, Every8BitInputForEveryHighBit) { every_input_for_every_high_bit<int8_t>(); }

TEST(SignedExtension, DocumentedValues) {
    struct Case {
        uint16_t bits;
        uint8_t high_bit;
        uint16_t in;
        uint16_t out;
    };
    const Case cases[] = {
        {16, 11, 0x0800, 0xF800}, {16, 11, 0x07FF, 0x07FF}, {16, 11, 0xF7FF, 0x07FF},
        {16, 11, 0x0FFF, 0xFFFF}, {8, 3, 0x08, 0xF8},       {8, 3, 0x17, 0x07},
    };
    for (const Case& c : cases) {
        VRX_DefaultManager manager;
        std::vector<uint8_t> bytes(c.bits / 8);
        std::memcpy(bytes.data(), &c.in, bytes.size());
        VRX_Engine* source = read_memory(manager, signed_format(c.bits, 1, 1), bytes);
        VRX_Engine* engine = VRX_SignedExtension(&manager).engine(source, c.high_bit);
        std::vector<uint8_t> out;
        ASSERT_TRUE(write_memory(manager, engine, out));
        uint16_t got = 0;
        std::memcpy(&got, out.data(), out.size());
        EXPECT_EQ(got, c.out) << std::hex << c.in;
    }
}

// Every sample of every channel is extended, across lines.
TEST(SignedExtension, ThreeChannelImage) {
    VRX_DefaultManager manager;
    std::vector<int16_t> samples;
    for (int i = 0; i < 5 * 4 * 3; ++i) samples.push_back(static_cast<int16_t>(i * 977));
    const std::vector<uint8_t> bytes = to_bytes(samples);
    VRX_Engine* source = read_memory(manager, signed_format(16, 5, 4, 3), bytes);
    VRX_Engine* engine = VRX_SignedExtension(&manager).engine(source, 9);
    std::vector<uint8_t> out;
    ASSERT_TRUE(write_memory(manager, engine, out));
    const std::vector<int16_t> result = from_bytes<int16_t>(out);
    ASSERT_EQ(result.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        EXPECT_EQ(result[i], reference(static_cast<uint16_t>(samples[i]), 9)) << i;
}

TEST(SignedExtension, FullWidthHighBitReturnsTheSource) {
    for (uint16_t bits : {8, 16}) {
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(4, 0);
        VRX_Engine* source = read_memory(manager, signed_format(bits, 2, 1), bytes);
        EXPECT_EQ(VRX_SignedExtension(&manager).engine(source, bits - 1), source);
        EXPECT_NO_ERROR(manager);
    }
}

TEST(SignedExtension, MasksAreComputedInTheSampleWidth) {
    VRX_DefaultManager manager;
    const std::vector<uint8_t> bytes(2, 0);
    VRX_Engine* source = read_memory(manager, signed_format(8, 2, 1), bytes);
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager.new_dst_buffer();
    auto* engine = construct<VRX_SignedExtensionEngine<int8_t>>(&manager);
    ASSERT_TRUE(engine->initiate(source->header(), src, dst, 7));
    EXPECT_EQ(engine->sign_mask(), 0x80);
    EXPECT_EQ(engine->value_mask(), 0xFF);
    EXPECT_EQ(engine->extension_mask(), 0x00);
    engine->set_initiated();
    ASSERT_NE(VRX_EngineCreator(&manager).regist_engine(engine, src, dst), nullptr);
    EXPECT_NO_ERROR(manager);
}

TEST(SignedExtension, Refusals) {
    struct Case {
        const char* name;
        uint16_t bits;
        const VRX_DataType* type;
        uint8_t high_bit;
        uint32_t code;
        const char* function;
    };
    const Case cases[] = {
        {"high bit at the depth", 16, VRX_DataType::s_integer(), 16, 0x80800000,
         "VRX_SignedExtension::engine()"},
        {"high bit above the depth", 8, VRX_DataType::s_integer(), 9, 0x80800000,
         "VRX_SignedExtension::engine()"},
        {"unsigned", 16, VRX_DataType::u_integer(), 11, 0x81000000,
         "VRX_SignedExtension::engine()"},
        {"floating", 32, VRX_DataType::floating(), 11, 0x81000000,
         "VRX_SignedExtension::engine()"},
        {"32-bit", 32, VRX_DataType::s_integer(), 11, 0x81000000,
         "VRX_SignedExtension::engine()"},
        {"1-bit", 1, VRX_DataType::u_integer(), 0, 0x81000000, "VRX_SignedExtension::engine()"},
    };
    std::vector<Refusal> refusals;
    for (const Case& c : cases) {
        refusals.emplace_back(
            c.name,
            [c](VRX_Manager& m) {
                VRX_Engine* source =
                    read_memory(m, image_format(2, 2, c.bits, 1, c.type), zero_bytes());
                EXPECT_NE(source, nullptr);
                return VRX_SignedExtension(&m).engine(source, c.high_bit);
            },
            c.code, c.function);
    }
    refusals.emplace_back(
        "no source", [](VRX_Manager& m) { return VRX_SignedExtension(&m).engine(nullptr, 3); },
        0x80800000, "VRX_SignedExtension::engine()");
    expect_refusals(refusals);
}

TEST(SignedExtension, EncodedSourceIsRefusedByTheLineEngine) {
    VRX_DefaultManager manager;
    Format f = signed_format(16, 2, 2);
    f.encode = VRX_EncodeType::pack_bits();
    const std::vector<uint8_t> bytes(32, 0);
    VRX_Engine* source = read_memory(manager, f, bytes);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(VRX_SignedExtension(&manager).engine(source, 11), nullptr);
    EXPECT_STATUS(manager, 0x81000000, "VRX_ProcessLineToLineEngine::initiate()");
    EXPECT_FALSE(manager.execute());
}

}  // namespace
