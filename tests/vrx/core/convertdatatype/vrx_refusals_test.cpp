// Every refusal of the lookup, NOT and conversion stages, by code, function
// text and line.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "vrx/core/lut/vrx_lut.h"
#include "vrx/core/lut/vrx_lut8xnbitsengine.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/core/lut/vrx_luts8xnbits.h"
#include "vrx/core/lut/vrx_lutu8xnbits.h"
#include "vrx/core/operation/vrx_not.h"

namespace {

using namespace vrx_convert_test;

// Zero samples enough for every image below.
const std::vector<uint8_t>& zeros() {
    static const std::vector<uint8_t> bytes(4096, 0);
    return bytes;
}

// A 2 x 2 source of the given form.
VRX_Engine* source(VRX_Manager& m, uint16_t bits, const VRX_DataType* type, uint16_t channels = 1) {
    Format f;
    f.width = 2;
    f.height = 2;
    f.bits = bits;
    f.channels = channels;
    f.type = type;
    f.color = color_for(channels);
    return read_memory(m, f, zeros());
}

VRX_Engine* with_palette(VRX_Manager& m) {
    VRX_Header header(&m);
    describe(header, format_of<uint8_t>(2, 2));
    header.palette().bits = 8;
    header.palette().channels = 1;
    header.palette().entries = 1;
    const uint8_t entry = 9;
    header.palette().value(&entry, 1);
    return read_memory(m, header, zeros());
}

VRX_Engine* encoded(VRX_Manager& m) {
    Format f = format_of<uint8_t>(2, 2);
    f.encode = VRX_EncodeType::qm_rle();
    return read_memory(m, f, zeros());
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
        {"palette source", [](VRX_Manager& m) { return lut(m, with_palette(m), 8, u, 256); },
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
         [](VRX_Manager& m) { return VRX_Not(&m).engine(with_palette(m)); }, 0x81000000, not_engine,
         56},
        {"NOT of run-length lines", [](VRX_Manager& m) { return VRX_Not(&m).engine(encoded(m)); },
         0x81000000, "VRX_NotQMRLEEngine::initiate()", 104},
    });
}

}  // namespace
