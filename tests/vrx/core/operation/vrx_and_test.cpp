#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/core/operation/vrx_and.h"
#include "vrx/core/operation/vrx_opconstengine.h"
#include "vrx/core/operation/vrx_opconstlogical.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

Format unsigned_format(uint16_t bits, uint32_t width, uint32_t height, uint16_t channels = 1) {
    Format f;
    f.width = width;
    f.height = height;
    f.bits = bits;
    f.channels = channels;
    f.color = channels == 1 ? VRX_ColorType::gray() : VRX_ColorType::s_rgb();
    return f;
}

// The chain's output for `bytes` ANDed with `constant`; the engine must be new.
std::vector<uint8_t> and_with(const Format& f, const std::vector<uint8_t>& bytes,
                              uint32_t constant) {
    VRX_DefaultManager manager;
    VRX_Engine* source = read_memory(manager, f, bytes);
    VRX_Engine* engine = VRX_And(&manager).engine(source, constant);
    EXPECT_NE(engine, nullptr);
    EXPECT_NE(engine, source);
    std::vector<uint8_t> out;
    if (!engine) return out;
    EXPECT_EQ(engine->header()->bits, f.bits);
    EXPECT_TRUE(write_memory(manager, engine, out));
    EXPECT_NO_ERROR(manager);
    EXPECT_TRUE(manager.execute());
    return out;
}

// Every 16-bit input with the masks of every stored bit count and a few
// irregular constants.
TEST(AndConstant, Every16BitInput) {
    std::vector<uint16_t> all(65536);
    for (uint32_t x = 0; x < 65536; ++x) all[x] = static_cast<uint16_t>(x);
    const std::vector<uint8_t> bytes = to_bytes(all);
    std::vector<uint32_t> constants = {0, 0x0F0F, 0xA5A5, 0x8001, 0xFFFE};
    for (unsigned stored = 1; stored < 16; ++stored) constants.push_back((1u << stored) - 1);
    for (uint32_t constant : constants) {
        SCOPED_TRACE(constant);
        const std::vector<uint16_t> out =
            from_bytes<uint16_t>(and_with(unsigned_format(16, 256, 256), bytes, constant));
        ASSERT_EQ(out.size(), 65536u);
        size_t wrong = 0;
        for (uint32_t x = 0; x < 65536; ++x) wrong += out[x] != (x & constant);
        EXPECT_EQ(wrong, 0u);
    }
}

// Every 8-bit input with every constant that adds a stage.
TEST(AndConstant, Every8BitInputAndConstant) {
    std::vector<uint8_t> all(256);
    for (uint32_t x = 0; x < 256; ++x) all[x] = static_cast<uint8_t>(x);
    for (uint32_t constant = 0; constant < 255; ++constant) {
        const std::vector<uint8_t> out = and_with(unsigned_format(8, 16, 16), all, constant);
        ASSERT_EQ(out.size(), 256u);
        for (uint32_t x = 0; x < 256; ++x) ASSERT_EQ(out[x], x & constant) << constant;
    }
}

TEST(AndConstant, DocumentedValues) {
    EXPECT_EQ(from_bytes<uint16_t>(and_with(unsigned_format(16, 2, 1),
                                            to_bytes<uint16_t>({0xF123, 0x0FFF}), 0x0FFF)),
              (std::vector<uint16_t>{0x0123, 0x0FFF}));
    EXPECT_EQ(and_with(unsigned_format(8, 1, 1), {0xA5}, 0x0F), (std::vector<uint8_t>{0x05}));
    // Three channels of width 5: all 15 samples of a line, over two lines.
    std::vector<uint8_t> rgb(30);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(0xF0 | i);
    const std::vector<uint8_t> out = and_with(unsigned_format(8, 5, 2, 3), rgb, 0x3C);
    for (size_t i = 0; i < rgb.size(); ++i) EXPECT_EQ(out[i], rgb[i] & 0x3C) << i;
}

TEST(AndConstant, ConstantsKeepingEveryBitReturnTheSource) {
    for (uint16_t bits : {8, 16}) {
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(4, 0);
        VRX_Engine* source = read_memory(manager, unsigned_format(bits, 2, 1), bytes);
        EXPECT_EQ(VRX_And(&manager).engine(source, bits == 8 ? 0xFFu : 0xFFFFu), source);
        EXPECT_NO_ERROR(manager);
    }
}

TEST(AndConstant, Refusals) {
    struct Case {
        const char* name;
        Format format;
        uint32_t constant;
        uint32_t code;
        const char* function;
    };
    Format signed16 = unsigned_format(16, 2, 2);
    signed16.type = VRX_DataType::s_integer();
    Format encoded = unsigned_format(16, 2, 2);
    encoded.encode = VRX_EncodeType::pack_bits();
    const char* creator = "VRX_OpConstLogical::engine()";
    const char* engine = "VRX_OpConstEngine::initiate()";
    const Case cases[] = {
        {"8-bit with 256", unsigned_format(8, 2, 2), 256, 0x80800000, creator},
        {"16-bit with 0x10000", unsigned_format(16, 2, 2), 0x10000, 0x80800000, creator},
        {"1-bit with 0x10000", unsigned_format(1, 2, 2), 0x10000, 0x80800000, creator},
        {"signed", signed16, 0x0FFF, 0x81000000, engine},
        {"32-bit", unsigned_format(32, 2, 2), 0x0FFF, 0x81000000, engine},
        {"1-bit", unsigned_format(1, 2, 2), 1, 0x81000000, engine},
        {"encoded", encoded, 0x0FFF, 0x81000000, "VRX_ProcessLineToLineEngine::initiate()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(64, 0);
        VRX_Engine* source = read_memory(manager, c.format, bytes);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(VRX_And(&manager).engine(source, c.constant), nullptr);
        EXPECT_STATUS(manager, c.code, c.function);
        EXPECT_FALSE(manager.execute());
    }
    VRX_DefaultManager manager;
    EXPECT_EQ(VRX_And(&manager).engine(nullptr, 1), nullptr);
    EXPECT_STATUS(manager, 0x80800000, creator);
}

TEST(AndConstant, SourceWithAPaletteIsRefused) {
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    describe(header, unsigned_format(8, 2, 1));
    header.palette().bits = 8;
    header.palette().channels = 1;
    header.palette().entries = 1;
    const uint8_t entry = 9;
    ASSERT_TRUE(header.palette().value(&entry, 1));
    const std::vector<uint8_t> bytes(2, 0);
    VRX_Engine* source = read_memory(manager, header, bytes);
    EXPECT_EQ(VRX_OpConstLogical<VRX_PixelOperator::And>(&manager).engine(source, 0x0F), nullptr);
    EXPECT_STATUS(manager, 0x81000000, "VRX_OpConstEngine::initiate()");
}

// The engine reads samples of its own width: built by hand over samples of
// the other width it refuses them instead of running past the line.
TEST(AndConstant, EngineRefusesSamplesOfTheOtherWidth) {
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(8, 0xFF);
        VRX_Header header(&manager);
        describe(header, unsigned_format(bits, 4, 1));
        VRX_Engine* source = read_memory(manager, header, bytes);
        ASSERT_NE(source, nullptr);
        VRX_SrcBuffer* src = source->src_buffer();
        VRX_DstBuffer* dst = manager.new_dst_buffer();
        bool ok = true;
        if (bits == 8) {
            auto* e = construct<VRX_OpConstEngine<VRX_PixelOperator::And, uint16_t>>(&manager);
            ok = e->initiate(&header, src, dst, 0x0F);
            e->destroy();
        } else {
            auto* e = construct<VRX_OpConstEngine<VRX_PixelOperator::And, uint8_t>>(&manager);
            ok = e->initiate(&header, src, dst, 0x0F);
            e->destroy();
        }
        EXPECT_FALSE(ok);
        EXPECT_STATUS(manager, 0x81000000, "VRX_OpConstEngine::initiate()");
        VRX_EngineCreator(&manager).regist_engine(nullptr, src, dst);
    }
}

}  // namespace
