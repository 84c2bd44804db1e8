// Which stage VRX_ConvertDataType picks, and the documented samples of each.
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/constantcolor/vrx_constantcolorraw1engine.h"
#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbitsengine.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype8xnbitsengine.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bitengine.h"
#include "vrx/core/lut/vrx_lut8xnbitsengine.h"
#include "vrx/core/lut/vrx_luts8xnbitsengine.h"
#include "vrx/core/lut/vrx_lutu8xnbitsengine.h"
#include "vrx/core/operation/vrx_opnotengine.h"
#include "vrx/core/shiftdata/vrx_shiftdatanlengine.h"
#include "vrx/core/shiftdata/vrx_shiftdatawlengine.h"

namespace {

using namespace vrx_convert_test;

const VRX_DataType* const u = VRX_DataType::u_integer();
const VRX_DataType* const s = VRX_DataType::s_integer();

Format image(uint16_t bits, const VRX_DataType* type, uint32_t width, uint32_t height) {
    return image_format(width, height, bits, 1, type);
}

// What the creator built, checked on the returned engine (and the creator).
using Check = std::function<bool(VRX_Engine* last, VRX_Engine* source, VRX_ConvertDataType&)>;

template <class E>
Check is() {
    return [](VRX_Engine* last, VRX_Engine*, VRX_ConvertDataType&) {
        return dynamic_cast<E*>(last) != nullptr;
    };
}
Check the_source() {
    return
        [](VRX_Engine* last, VRX_Engine* source, VRX_ConvertDataType&) { return last == source; };
}
template <class E>
Check shift(int16_t count) {
    return [count](VRX_Engine* last, VRX_Engine*, VRX_ConvertDataType& c) {
        return dynamic_cast<E*>(last) != nullptr && c.shift_count() == count;
    };
}
Check two_values(int32_t zero, int32_t one) {
    return [=](VRX_Engine* last, VRX_Engine*, VRX_ConvertDataType& c) {
        return dynamic_cast<VRX_Convert1To8xNBitsEngine<uint8_t>*>(last) != nullptr &&
               c.zero_value() == zero && c.one_value() == one;
    };
}

// The documented choices, with the mends: the clamp of an equal-width
// unsigned-to-signed right shift, rounding of near-whole shifts and values,
// the sample count of the table test in 64 bits.
TEST(ConvertDataType, PicksTheDocumentedStage) {
    const double next_above_1 = std::nextafter(1.0, 2.0);
    struct Case {
        const char* name;
        Format from;
        const VRX_DataType* type;
        uint16_t bits;
        double gain, offset;
        Check check;
    } cases[] = {
        {"same request", image(8, u, 4, 4), u, 8, 1, 0, the_source()},
        {"gain next above 1", image(8, u, 4, 4), u, 8, next_above_1, 0, the_source()},
        {"256 samples, gain 3", image(8, u, 16, 16), u, 16, 3, 0,
         is<VRX_ConvertDataType8xNbitsEngine<uint8_t, uint16_t>>()},
        {"272 samples, gain 3", image(8, u, 17, 16), u, 16, 3, 0,
         is<VRX_Lut8xNbitsEngine<uint8_t, uint16_t>>()},
        {"table before shift", image(8, u, 17, 16), u, 16, 256, 0,
         is<VRX_Lut8xNbitsEngine<uint8_t, uint16_t>>()},
        {"signed 16 to unsigned, large", image(16, s, 300, 300), u, 16, 1, 32768,
         is<VRX_LutS8xNbitsEngine<int16_t, uint16_t>>()},
        {"gain 256", image(8, u, 16, 16), u, 16, 256, 0,
         shift<VRX_ShiftDataNLEngine<uint8_t, uint16_t>>(8)},
        {"gain 512", image(8, u, 16, 16), u, 16, 512, 0,
         shift<VRX_ShiftDataWLEngine<uint8_t, uint16_t>>(9)},
        {"gain 256 from 32 bits", image(32, u, 100, 100), u, 16, 256, 0,
         shift<VRX_ShiftDataWLEngine<uint32_t, uint16_t>>(8)},
        {"gain 1/256", image(16, u, 256, 256), u, 8, 1.0 / 256, 0,
         shift<VRX_ShiftDataWLEngine<uint16_t, uint8_t>>(-8)},
        {"gain 1/65536", image(32, u, 100, 100), u, 16, 1.0 / 65536, 0,
         shift<VRX_ShiftDataWLEngine<uint32_t, uint16_t>>(-16)},
        {"signed to unsigned", image(32, s, 4, 4), u, 32, 4, 0,
         shift<VRX_ShiftDataWLEngine<int32_t, uint32_t>>(2)},
        {"u8 to s8 by 0.5 clamps", image(8, u, 16, 16), s, 8, 0.5, 0,
         shift<VRX_ShiftDataWLEngine<uint8_t, int8_t>>(-1)},
        {"gain 1.9999999999999998 is 2", image(8, u, 16, 16), u, 16, 1.9999999999999998, 0,
         shift<VRX_ShiftDataNLEngine<uint8_t, uint16_t>>(1)},
        {"gain 2^31 is a shift", image(32, u, 4, 4), u, 32, std::ldexp(1.0, 31), 0,
         shift<VRX_ShiftDataWLEngine<uint32_t, uint32_t>>(31)},
        {"gain 2^32 is not", image(32, u, 4, 4), u, 32, std::ldexp(1.0, 32), 0,
         is<VRX_ConvertDataType8xNbitsEngine<uint32_t, uint32_t>>()},
        {"gain 3", image(8, u, 16, 16), u, 16, 3, 0,
         is<VRX_ConvertDataType8xNbitsEngine<uint8_t, uint16_t>>()},
        {"two values", image(1, u, 8, 8), u, 8, 255, 0, two_values(0, 255)},
        {"two values, near-whole gain", image(1, u, 8, 8), u, 8, 0.9999999999999999, 0,
         two_values(0, 1)},
        {"two values, near-whole offset", image(1, u, 8, 8), u, 8, 2, 0.9999999999999999,
         two_values(1, 3)},
        {"gain 255.5", image(1, u, 8, 8), u, 8, 255.5, 0,
         is<VRX_ConvertDataTypeFrom1bitEngine<uint8_t>>()},
        {"one value 300", image(1, u, 8, 8), u, 8, 300, 0,
         is<VRX_ConvertDataTypeFrom1bitEngine<uint8_t>>()},
        {"from one bit to float", image(1, u, 8, 8), VRX_DataType::floating(), 32, 2, 0,
         is<VRX_ConvertDataTypeFrom1bitEngine<float>>()},
        {"one bit kept", image(1, u, 8, 8), u, 1, 1, 0, the_source()},
        {"one bit inverted", image(1, u, 8, 8), u, 1, -1, 1, is<VRX_OpNotEngine>()},
        {"one bit all ones", image(1, u, 8, 8), u, 1, 0, 0.7,
         is<VRX_ConstantColorRaw1Engine<uint32_t>>()},
        {"one bit, offset one half", image(1, u, 8, 8), u, 1, 0, 0.5,
         is<VRX_ConstantColorRaw1Engine<uint32_t>>()},
        {"one bit all zeros", image(1, u, 8, 8), u, 1, 0.2, 0.2,
         is<VRX_ConstantColorRaw1Engine<uint32_t>>()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(line_bytes(c.from) * c.from.height, 0);
        VRX_Engine* source = read_memory(manager, c.from, bytes);
        VRX_ConvertDataType creator(&manager);
        VRX_Engine* last = creator.engine(source, c.type, c.bits, c.gain, c.offset);
        ASSERT_NE(last, nullptr);
        EXPECT_TRUE(c.check(last, source, creator));
        EXPECT_NO_ERROR(manager);
        std::vector<uint8_t> out;
        EXPECT_TRUE(write_memory(manager, last, out));
    }
}

// The sample count of the table test in 64 bits: 65536 x 65536 would wrap
// a 32-bit count to 0 and miss the table.
TEST(ConvertDataType, TableTestCountsSamplesInSixtyFourBits) {
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    describe(header, image(16, u, 65536, 65536));
    EXPECT_TRUE(VRX_ConvertDataType::is_table_conversion(&header, u, 8));
    header.width = header.height = 256;
    EXPECT_FALSE(VRX_ConvertDataType::is_table_conversion(&header, u, 8));
    header.channels = 3;
    header.color_type(VRX_ColorType::s_rgb());
    EXPECT_TRUE(VRX_ConvertDataType::is_table_conversion(&header, u, 8));
    EXPECT_FALSE(VRX_ConvertDataType::is_table_conversion(&header, u, 12));
    EXPECT_FALSE(VRX_ConvertDataType::is_table_conversion(&header, VRX_DataType::floating(), 16));
    EXPECT_TRUE(VRX_ConvertDataType::is_table_conversion(&header, VRX_DataType::floating(), 64));
}

// The documented samples of the stages, through the creator.
TEST(ConvertDataType, DocumentedSamples) {
    struct Case {
        const char* name;
        Format from;
        std::vector<int64_t> in;
        const VRX_DataType* type;
        uint16_t bits;
        double gain, offset;
        std::vector<int64_t> out;
    } cases[] = {
        {"signed 16 to unsigned 16, table",
         image(16, s, 300, 300),
         {-32768, 32767},
         u,
         16,
         1,
         32768,
         {0, 65535}},
        {"u8 to s8 by one half",
         image(8, u, 4, 1),
         {255, 254, 1, 0},
         s,
         8,
         0.5,
         0,
         {127, 127, 1, 0}},
        {"u16 to u8 by 1/256",
         image(16, u, 4, 1),
         {65535, 65407, 128, 127},
         u,
         8,
         1.0 / 256,
         0,
         {255, 255, 1, 0}},
        {"u8 200 to s8", image(8, u, 1, 1), {200}, s, 8, 1, 0, {127}},
        {"s16 to u8", image(16, s, 2, 1), {-5, 300}, u, 8, 1, 0, {0, 255}},
        {"u8 halves up", image(8, u, 3, 1), {1, 3, 4}, u, 8, 0.5, 0.25, {1, 2, 2}},
        {"s16 halves away from zero", image(16, s, 2, 1), {-3, -1}, s, 16, 0.5, 0.000001, {-1, 0}},
        {"u32 above 2^31 plus one half",
         image(32, u, 2, 1),
         {3000000000, 4294967295},
         u,
         32,
         1,
         0.5,
         {3000000001, 4294967295}},
        {"u32 doubled saturates", image(32, u, 1, 1), {4294967295}, u, 32, 2, 0, {4294967295}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        std::vector<uint8_t> bytes(line_bytes(c.from) * c.from.height, 0);
        for (size_t i = 0; i < c.in.size(); ++i)
            std::memcpy(&bytes[i * c.from.bits / 8], &c.in[i], c.from.bits / 8);
        VRX_Engine* last = VRX_ConvertDataType(&manager).engine(read_memory(manager, c.from, bytes),
                                                                c.type, c.bits, c.gain, c.offset);
        std::vector<uint8_t> out;
        ASSERT_TRUE(write_memory(manager, last, out));
        for (size_t i = 0; i < c.out.size(); ++i) {
            int64_t v = 0;
            std::memcpy(&v, &out[i * c.bits / 8], c.bits / 8);
            if (c.type == s) v = (v << (64 - c.bits)) >> (64 - c.bits);
            EXPECT_EQ(v, c.out[i]) << i;
        }
    }
}

// Every allocation of every path failing in turn: nothing leaks, and a job
// that lost an allocation never ends in success.
TEST(ConvertDataType, AllocationFailuresOnEveryPath) {
    struct Case {
        const char* name;
        Format from;
        const VRX_DataType* type;
        uint16_t bits;
        double gain, offset;
    } cases[] = {
        {"table", image(8, u, 17, 16), u, 16, 3, 0},
        {"general", image(8, u, 16, 16), s, 32, 3, 1},
        {"shift", image(16, u, 4, 4), u, 8, 1.0 / 256, 0},
        {"two values", image(1, u, 9, 2), u, 16, 7, 1},
        {"from one bit", image(1, u, 9, 2), VRX_DataType::floating(), 64, 0.5, 0},
        {"to one bit", image(16, s, 3, 2), u, 1, 1, 0},
        {"inversion", image(1, u, 9, 2), u, 1, -1, 1},
        {"constant", image(1, u, 9, 2), u, 1, 0, 1},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes(line_bytes(c.from) * c.from.height, 0x5A);
        vrx_test::sweep_allocation_failures(c.name, 200, [&](vrx_test::TestManager& m) {
            VRX_Engine* last = VRX_ConvertDataType(&m).engine(read_memory(m, c.from, bytes), c.type,
                                                              c.bits, c.gain, c.offset);
            std::vector<uint8_t> out;
            return last && write_memory(m, last, out);
        });
    }
}

}  // namespace
