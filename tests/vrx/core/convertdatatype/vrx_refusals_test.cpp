// Every refusal of the lookup, NOT and conversion stages, by code, function
// text and line.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "vrx/core/constantcolor/vrx_constantcolor.h"
#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbits.h"
#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbitsengine.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype1bit.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype8xnbits.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bit.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bitengine.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypeto1bit.h"
#include "vrx/core/lut/vrx_lut.h"
#include "vrx/core/lut/vrx_lut8xnbitsengine.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/core/lut/vrx_luts8xnbits.h"
#include "vrx/core/lut/vrx_luts8xnbitsengine.h"
#include "vrx/core/lut/vrx_lutu8xnbits.h"
#include "vrx/core/lut/vrx_lutu8xnbitsengine.h"
#include "vrx/core/operation/vrx_not.h"
#include "vrx/core/shiftdata/vrx_shiftdata.h"
#include "vrx/core/shiftdata/vrx_shiftdatanl.h"
#include "vrx/core/shiftdata/vrx_shiftdatawl.h"
#include "vrx/core/shiftdata/vrx_shiftdatawlengine.h"

namespace {

using namespace vrx_convert_test;

// A 2 x 2 source of the given form.
VRX_Engine* source(VRX_Manager& m, uint16_t bits, const VRX_DataType* type, uint16_t channels = 1) {
    return read_memory(m, image_format(2, 2, bits, channels, type), zero_bytes());
}

VRX_Engine* encoded(VRX_Manager& m) {
    return read_memory(
        m, image_format(2, 2, 8, 1, VRX_DataType::u_integer(), VRX_EncodeType::qm_rle()),
        zero_bytes());
}

const VRX_DataType* const u = VRX_DataType::u_integer();
const VRX_DataType* const s = VRX_DataType::s_integer();
const VRX_DataType* const fl = VRX_DataType::floating();
const VRX_DataType* const unknown = VRX_DataType::unknown();

// A lookup of the source through a table of `tables` tables of `entries`
// entries of (bits, type), or through no table object at all.
VRX_Engine* lut(VRX_Manager& m, VRX_Engine* src, uint16_t bits, const VRX_DataType* type,
                uint32_t entries, uint16_t tables = 1, const VRX_ColorType* color = nullptr) {
    VRX_LutData table(&m);
    table.bits = bits;
    table.channels = tables;
    table.entries = entries;
    table.data_type = type;
    std::vector<uint8_t> bytes(size_t{bits} / 8 * entries * tables, 0);
    table.value(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return VRX_Lut(&m).engine(src, &table, color);
}

TEST(Refusals, LookupAndNot) {
    const char* base = "VRX_Lut8xNbitsEngine::initiate()";
    const char* engine_u = "VRX_LutU8xNbitsEngine::initiate()";
    const char* engine_s = "VRX_LutS8xNbitsEngine::initiate()";
    const char* not_engine = "VRX_OpNotEngine::initiate()";
    expect_refusals({
        {"lookup without a source",
         [](VRX_Manager& m) { return VRX_Lut(&m).engine(nullptr, nullptr, nullptr); }, 0x80800000,
         "VRX_Lut::engine()", 48},
        {"unsigned lookup without a source",
         [](VRX_Manager& m) { return VRX_LutU8xNbits(&m).engine(nullptr, nullptr, nullptr); },
         0x80800000, "VRX_LutU8xNbits::engine()", 54},
        {"signed lookup without a source",
         [](VRX_Manager& m) { return VRX_LutS8xNbits(&m).engine(nullptr, nullptr, nullptr); },
         0x80800000, "VRX_LutS8xNbits::engine()", 52},
        {"12-bit source", [](VRX_Manager& m) { return lut(m, source(m, 12, unknown), 8, u, 4096); },
         0x81000000, base, 94},
        {"floating source", [](VRX_Manager& m) { return lut(m, source(m, 32, fl), 8, u, 65536); },
         0x81000000, base, 94},
        {"palette source", [](VRX_Manager& m) { return lut(m, read_with_palette(m), 8, u, 256); },
         0x81000000, base, 94},
        {"16-bit source, 4096 entries",
         [](VRX_Manager& m) { return lut(m, source(m, 16, u), 16, u, 4096); }, 0x80800000, base,
         111},
        {"two tables for three channels",
         [](VRX_Manager& m) { return lut(m, source(m, 8, u, 3), 8, u, 256, 2); }, 0x80800000, base,
         111},
        {"64-bit integer entries",
         [](VRX_Manager& m) { return lut(m, source(m, 8, u), 64, u, 256); }, 0x80800000, base, 111},
        {"no table object",
         [](VRX_Manager& m) { return VRX_Lut(&m).engine(source(m, 8, s), nullptr, nullptr); },
         0x80800000, base, 111},
        {"three tables, gray output",
         [](VRX_Manager& m) {
             return lut(m, source(m, 8, u, 3), 8, u, 256, 3, VRX_ColorType::gray());
         },
         0x80800000, base, 121},
        {"8-bit source of unknown type",
         [](VRX_Manager& m) { return lut(m, source(m, 8, unknown), 8, u, 256); }, 0x81000000,
         engine_s, 65},
        {"signed source through the unsigned engine",
         [](VRX_Manager& m) {
             VRX_LutData table(&m);
             table.bits = 8;
             table.channels = 1;
             table.entries = 256;
             const std::vector<uint8_t> bytes(256, 0);
             table.value(bytes.data(), 256);
             return build_engine<VRX_LutU8xNbitsEngine<uint8_t, uint8_t>>(
                 m, source(m, 8, s), &table, static_cast<const VRX_ColorType*>(nullptr));
         },
         0x81000000, engine_u, 59},
        {"NOT without a source", [](VRX_Manager& m) { return VRX_Not(&m).engine(nullptr); },
         0x80800000, "VRX_Not::engine()", 47},
        {"NOT of signed samples",
         [](VRX_Manager& m) { return VRX_Not(&m).engine(source(m, 8, s)); }, 0x81000000, not_engine,
         56},
        {"NOT of floats", [](VRX_Manager& m) { return VRX_Not(&m).engine(source(m, 32, fl)); },
         0x81000000, not_engine, 56},
        {"NOT of 32-bit samples",
         [](VRX_Manager& m) { return VRX_Not(&m).engine(source(m, 32, u)); }, 0x81000000,
         not_engine, 56},
        {"NOT of 4-bit samples", [](VRX_Manager& m) { return VRX_Not(&m).engine(source(m, 4, u)); },
         0x81000000, not_engine, 56},
        {"NOT of a palette image",
         [](VRX_Manager& m) { return VRX_Not(&m).engine(read_with_palette(m)); }, 0x81000000,
         not_engine, 56},
        {"NOT of run-length lines", [](VRX_Manager& m) { return VRX_Not(&m).engine(encoded(m)); },
         0x81000000, "VRX_NotQMRLEEngine::initiate()", 104},
    });
}

// A constant image of (bits, type, channels, height, encoding) with the
// colour values V.
template <class V>
VRX_Engine* constant(VRX_Manager& m, uint16_t bits, const VRX_DataType* type, std::vector<V> values,
                     uint16_t channels = 1, uint32_t height = 2,
                     const VRX_EncodeType* encode = VRX_EncodeType::raw()) {
    VRX_Header header(&m);
    describe(header, Format{2, height, bits, channels, type, color_for(channels), encode});
    VRX_Vector<V> color(&m);
    for (V v : values) color.push_back(v);
    return VRX_ConstantColor(&m).engine(&header, color);
}

VRX_Engine* convert(VRX_Manager& m, VRX_Engine* src, const VRX_DataType* type, uint16_t bits,
                    double gain = 1, double offset = 0) {
    return VRX_ConvertDataType(&m).engine(src, type, bits, gain, offset);
}

TEST(Refusals, ConversionShiftAndConstantColour) {
    const char* general = "VRX_ConvertDataType8xNbitsEngine::initiate()";
    const char* from1 = "VRX_ConvertDataTypeFrom1bitEngine::initiate()";
    const char* to1 = "VRX_ConvertDataTypeTo1bitEngine::initiate()";
    const char* two = "VRX_Convert1To8xNBits::engine()";
    const char* two_engine = "VRX_Convert1To8xNBitsEngine::initiate()";
    const char* nl = "VRX_ShiftDataNLEngine::initiate()";
    const char* wl = "VRX_ShiftDataWLEngine::initiate()";
    const char* raw = "VRX_ConstantColorRaw::engine()";
    const char* common = "VRX_ConstantColorRawEngine::initiate()";
    const char* typed = "VRX_ConstantColorRaw8xNBitsEngine::initiate()";
    expect_refusals({
        {"conversion without a source", [](VRX_Manager& m) { return convert(m, nullptr, u, 8); },
         0x80800000, "VRX_ConvertDataType::engine()", 68},
        {"conversion without a data type",
         [](VRX_Manager& m) { return convert(m, source(m, 8, u), nullptr, 16); }, 0x80800000,
         "VRX_ConvertDataType::engine()", 68},
        {"general creator without a source",
         [](VRX_Manager& m) { return VRX_ConvertDataType8xNbits(&m).engine(nullptr, u, 8, 1, 0); },
         0x80800000, "VRX_ConvertDataType8xNbits::engine()", 58},
        {"12-bit samples",
         [](VRX_Manager& m) { return convert(m, source(m, 12, unknown), u, 8, 3); }, 0x81000000,
         general, 103},
        {"palette source",
         [](VRX_Manager& m) { return convert(m, read_with_palette(m), u, 16, 3); }, 0x81000000,
         general, 103},
        {"12-bit request", [](VRX_Manager& m) { return convert(m, source(m, 16, u), u, 12, 3); },
         0x81000000, general, 110},
        {"one-bit creator without a source",
         [](VRX_Manager& m) { return VRX_ConvertDataType1bit(&m).engine(nullptr, 1, 0); },
         0x80800000, "VRX_ConvertDataType1bit::engine()", 51},
        {"one bit with a palette",
         [](VRX_Manager& m) { return convert(m, read_with_palette(m, 1), u, 1, -1, 1); },
         0x81000000, "VRX_ConvertDataType1bit::engine()", 57},
        {"from-one-bit creator without a source",
         [](VRX_Manager& m) { return VRX_ConvertDataTypeFrom1bit(&m).engine(nullptr, u, 8, 1, 0); },
         0x80800000, "VRX_ConvertDataTypeFrom1bit::engine()", 58},
        {"from one bit, 8-bit source",
         [](VRX_Manager& m) {
             return VRX_ConvertDataTypeFrom1bit(&m).engine(source(m, 8, u), u, 8, 2, 0);
         },
         0x81000000, from1, 104},
        {"from one bit to 4 bits",
         [](VRX_Manager& m) { return convert(m, source(m, 1, u), u, 4, 3); }, 0x81000000, from1,
         111},
        {"from one bit to 12 bits",
         [](VRX_Manager& m) { return convert(m, source(m, 1, u), u, 12, 1000); }, 0x81000000, from1,
         111},
        {"from one bit to one bit by hand",
         [](VRX_Manager& m) {
             return build_engine<VRX_ConvertDataTypeFrom1bitEngine<uint8_t>>(m, source(m, 1, u), u,
                                                                             uint16_t{1}, 2.0, 0.0);
         },
         0x81000000, from1, 111},
        {"to-one-bit creator without a source",
         [](VRX_Manager& m) { return VRX_ConvertDataTypeTo1bit(&m).engine(nullptr, u, 1, 0); },
         0x80800000, "VRX_ConvertDataTypeTo1bit::engine()", 57},
        {"to one bit from one bit",
         [](VRX_Manager& m) {
             return VRX_ConvertDataTypeTo1bit(&m).engine(source(m, 1, u), u, 1, 0);
         },
         0x81000000, to1, 103},
        {"to one bit from a palette",
         [](VRX_Manager& m) { return convert(m, read_with_palette(m), u, 1, 1, 0); }, 0x81000000,
         to1, 103},
        {"two values without a source",
         [](VRX_Manager& m) { return VRX_Convert1To8xNBits(&m).engine(nullptr, u, 8, 0, 1); },
         0x80800000, two, 50},
        {"two values, 32 bits",
         [](VRX_Manager& m) {
             return VRX_Convert1To8xNBits(&m).engine(source(m, 1, u), u, 32, 0, 1);
         },
         0x80800000, two, 68},
        {"two values, signed 4 bits",
         [](VRX_Manager& m) {
             return VRX_Convert1To8xNBits(&m).engine(source(m, 1, u), s, 4, 0, 1);
         },
         0x80800000, two, 78},
        {"two values, floating",
         [](VRX_Manager& m) {
             return VRX_Convert1To8xNBits(&m).engine(source(m, 1, u), fl, 32, 0, 1);
         },
         0x80800000, two, 81},
        {"two values of a one-bit source of unknown type",
         [](VRX_Manager& m) {
             return VRX_Convert1To8xNBits(&m).engine(source(m, 1, unknown), u, 8, 0, 1);
         },
         0x81000000, two_engine, 183},
        {"two values out of range",
         [](VRX_Manager& m) {
             return VRX_Convert1To8xNBits(&m).engine(source(m, 1, u), u, 8, 0, 256);
         },
         0x80800000, two_engine, 194},
        {"two values of the wrong width by hand",
         [](VRX_Manager& m) {
             return build_engine<VRX_Convert1To8xNBitsEngine<uint8_t>>(
                 m, source(m, 1, u), u, uint16_t{16}, int32_t{0}, int32_t{1});
         },
         0x80800000, two_engine, 194},
        {"plain shift without a source",
         [](VRX_Manager& m) { return VRX_ShiftDataNL(&m).engine(nullptr, u, 8, 1); }, 0x80800000,
         "VRX_ShiftDataNL::engine()", 53},
        {"limited shift without a source",
         [](VRX_Manager& m) { return VRX_ShiftDataWL(&m).engine(nullptr, u, 8, 1); }, 0x80800000,
         "VRX_ShiftDataWL::engine()", 54},
        {"plain shift of floats",
         [](VRX_Manager& m) { return VRX_ShiftDataNL(&m).engine(source(m, 32, fl), s, 32, 1); },
         0x81000000, nl, 184},
        {"plain shift to 12 bits",
         [](VRX_Manager& m) { return VRX_ShiftDataNL(&m).engine(source(m, 16, u), u, 12, 1); },
         0x81000000, nl, 192},
        {"plain shift to floats",
         [](VRX_Manager& m) { return VRX_ShiftDataNL(&m).engine(source(m, 16, u), fl, 32, 1); },
         0x81000000, nl, 199},
        {"plain shift by 32",
         [](VRX_Manager& m) { return VRX_ShiftDataNL(&m).engine(source(m, 16, u), u, 32, 32); },
         0x80800000, nl, 206},
        {"limited shift of a palette",
         [](VRX_Manager& m) { return VRX_ShiftDataWL(&m).engine(read_with_palette(m), u, 8, 1); },
         0x81000000, wl, 389},
        {"limited shift to 12 bits",
         [](VRX_Manager& m) { return VRX_ShiftDataWL(&m).engine(source(m, 16, s), u, 12, 1); },
         0x81000000, wl, 397},
        {"limited shift to floats",
         [](VRX_Manager& m) { return VRX_ShiftDataWL(&m).engine(source(m, 16, s), fl, 32, 20); },
         0x81000000, wl, 404},
        {"limited shift by -32",
         [](VRX_Manager& m) { return VRX_ShiftData(&m).engine(source(m, 16, s), u, 8, -32, true); },
         0x80800000, wl, 411},
        {"limited shift with another sign class",
         [](VRX_Manager& m) {
             return build_engine<VRX_ShiftDataWLEngine<int16_t, uint8_t>>(
                 m, source(m, 16, s), u, uint16_t{8}, int16_t{1}, uint8_t{0});
         },
         0x80800000, wl, 0},
        {"signed 8-bit colour 200", [](VRX_Manager& m) { return constant<int>(m, 8, s, {200}); },
         0x80800000, raw, 122},
        {"signed 16-bit colour 40000",
         [](VRX_Manager& m) { return constant<int>(m, 16, s, {40000}); }, 0x80800000, raw, 122},
        {"unsigned 8-bit colour 256",
         [](VRX_Manager& m) { return constant<unsigned>(m, 8, u, {256}); }, 0x80800000, raw, 180},
        {"unsigned 16-bit colour 65536",
         [](VRX_Manager& m) { return constant<unsigned>(m, 16, u, {65536}); }, 0x80800000, raw,
         180},
        {"fewer values than channels",
         [](VRX_Manager& m) {
             return constant<unsigned>(m, 8, u, {1, 2}, 3);
         },
         0x80800000, common, 59},
        {"run-length header",
         [](VRX_Manager& m) {
             return constant<double>(m, 64, fl, {1}, 1, 2, VRX_EncodeType::qm_rle());
         },
         0x81000000, common, 52},
        {"height 0", [](VRX_Manager& m) { return constant<unsigned>(m, 8, u, {1}, 1, 0); },
         0x80800000, "VRX_GenerateEngine::initiate()", 0},
        {"int values for an unsigned header",
         [](VRX_Manager& m) { return constant<int>(m, 8, u, {1}); }, 0x80800000, typed, 87},
        {"float values for a 64-bit header",
         [](VRX_Manager& m) { return constant<float>(m, 64, fl, {1}); }, 0x80800000, typed, 87},
        {"double values for 2 bits", [](VRX_Manager& m) { return constant<double>(m, 2, u, {1}); },
         0x81000000, typed, 53},
        {"one-bit colour of unknown type",
         [](VRX_Manager& m) { return constant<unsigned>(m, 1, unknown, {1}); }, 0x81000000,
         "VRX_ConstantColorRaw1Engine::initiate()", 52},
    });
}

}  // namespace
