#include <gtest/gtest.h>

#include <set>
#include <string>

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_datatype.h"
#include "vrx/framework/base/vrx_encodetype.h"

namespace {

using vrx::VRX_ColorType;
using vrx::VRX_DataType;
using vrx::VRX_EncodeType;

struct ColorRow {
    const VRX_ColorType* type;
    uint16_t channels;
    const char* name;
    int32_t id;
};

const ColorRow kColors[] = {
    {VRX_ColorType::none(), 0, "none", 0},
    {VRX_ColorType::gray(), 1, "gray", 100},
    {VRX_ColorType::gray_reverse(), 1, "gray_reverse", 102},
    {VRX_ColorType::lstar(), 1, "lstar", 110},
    {VRX_ColorType::s_rgb(), 3, "s_rgb", 220},
    {VRX_ColorType::adobe_rgb(), 3, "adobe_rgb", 240},
    {VRX_ColorType::ycbcr(), 3, "ycbcr", 300},
    {VRX_ColorType::hsl(), 3, "hsl", 400},
    {VRX_ColorType::icc_lab(), 3, "icc_lab", 520},
    {VRX_ColorType::itu_lab(), 3, "itu_lab", 540},
    {VRX_ColorType::cmy(), 3, "cmy", 600},
    {VRX_ColorType::xyz(), 3, "xyz", 1000},
    {VRX_ColorType::cmyk(), 4, "cmyk", 2000},
    {VRX_ColorType::unknown(), 0, "unknown", -1},
};

TEST(VRX_ColorType, Table) {
    std::set<const VRX_ColorType*> addresses;
    for (const ColorRow& r : kColors) {
        addresses.insert(r.type);
        EXPECT_EQ(r.type->channels(), r.channels) << r.name;
        EXPECT_STREQ(r.type->name(), r.name);
        EXPECT_EQ(r.type->id(), r.id) << r.name;
        for (uint16_t n = 0; n <= 6; ++n) {
            const bool expected = r.channels == 0 ? n != 0 : n == r.channels;
            EXPECT_EQ(r.type->is_acceptable_channels(n), expected) << r.name << " " << n;
        }
        EXPECT_EQ(r.type->is_acceptable_channels(65535), r.channels == 0) << r.name;
    }
    EXPECT_EQ(addresses.size(), std::size(kColors));
}

TEST(VRX_ColorType, PredicatesCompareIdentity) {
    using P = bool (VRX_ColorType::*)() const;
    struct Row {
        P predicate;
        const VRX_ColorType* match;
    } rows[] = {
        {&VRX_ColorType::is_gray, VRX_ColorType::gray()},
        {&VRX_ColorType::is_gray_reverse, VRX_ColorType::gray_reverse()},
        {&VRX_ColorType::is_lstar, VRX_ColorType::lstar()},
        {&VRX_ColorType::is_s_rgb, VRX_ColorType::s_rgb()},
        {&VRX_ColorType::is_adobe_rgb, VRX_ColorType::adobe_rgb()},
        {&VRX_ColorType::is_ycbcr, VRX_ColorType::ycbcr()},
        {&VRX_ColorType::is_hsl, VRX_ColorType::hsl()},
        {&VRX_ColorType::is_icc_lab, VRX_ColorType::icc_lab()},
        {&VRX_ColorType::is_itu_lab, VRX_ColorType::itu_lab()},
        {&VRX_ColorType::is_xyz, VRX_ColorType::xyz()},
        {&VRX_ColorType::is_cmy, VRX_ColorType::cmy()},
        {&VRX_ColorType::is_cmyk, VRX_ColorType::cmyk()},
    };
    for (const Row& row : rows)
        for (const ColorRow& c : kColors)
            EXPECT_EQ((c.type->*row.predicate)(), c.type == row.match) << c.name;
    for (const ColorRow& c : kColors)
        EXPECT_EQ(c.type->is_rgb(),
                  c.type == VRX_ColorType::s_rgb() || c.type == VRX_ColorType::adobe_rgb());
}

TEST(VRX_DataType, Table) {
    struct Row {
        const VRX_DataType* type;
        std::set<int> bits;  // empty: any non-zero depth
        const char* name;
        int32_t id;
    } rows[] = {
        {VRX_DataType::u_integer(), {1, 2, 4, 8, 16, 32}, "u_integer", 0},
        {VRX_DataType::s_integer(), {8, 16, 32}, "s_integer", 1},
        {VRX_DataType::floating(), {32, 64}, "floating", 2},
        {VRX_DataType::unknown(), {}, "unknown", -1},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(r.type->name(), r.name);
        EXPECT_EQ(r.type->id(), r.id);
        for (int bits :
             {0, 1, 2, 3, 4, 5, 7, 8, 12, 15, 16, 24, 31, 32, 33, 48, 63, 64, 65, 128, 65535}) {
            const bool expected = r.bits.empty() ? bits != 0 : r.bits.count(bits) != 0;
            EXPECT_EQ(r.type->is_acceptable_bits(static_cast<uint16_t>(bits)), expected)
                << r.name << " " << bits;
        }
    }
    EXPECT_TRUE(VRX_DataType::u_integer()->is_u_integer());
    EXPECT_FALSE(VRX_DataType::s_integer()->is_u_integer());
    EXPECT_TRUE(VRX_DataType::floating()->is_floating());
    EXPECT_TRUE(VRX_DataType::unknown()->is_unknown());
    EXPECT_TRUE(VRX_DataType::s_integer()->is_s_integer());
}

TEST(VRX_EncodeType, Table) {
    struct Row {
        const VRX_EncodeType* type;
        const char* name;
        int32_t id;
    } rows[] = {
        {VRX_EncodeType::raw(), "raw", 0},
        {VRX_EncodeType::mh(), "mh", 100},
        {VRX_EncodeType::mr(), "mr", 120},
        {VRX_EncodeType::mmr(), "mmr", 140},
        {VRX_EncodeType::pack_bits(), "pack_bits", 200},
        {VRX_EncodeType::byte_encode(), "byte_encode", 220},
        {VRX_EncodeType::win_rle8(), "win_rle8", 300},
        {VRX_EncodeType::win_rle4(), "win_rle4", 310},
        {VRX_EncodeType::qm_rle(), "qm_rle", 320},
        {VRX_EncodeType::qm_rle_be(), "qm_rle_be", 322},
        {VRX_EncodeType::qm_rlc(), "qm_rlc", 330},
        {VRX_EncodeType::qm_rlc_be(), "qm_rlc_be", 332},
        {VRX_EncodeType::qm_rlen(), "qm_rlen", 340},
        {VRX_EncodeType::qm_rlen_be(), "qm_rlen_be", 342},
        {VRX_EncodeType::lzw(), "lzw", 400},
        {VRX_EncodeType::flate(), "flate", 420},
        {VRX_EncodeType::jbig(), "jbig", 1000},
        {VRX_EncodeType::jbig2(), "jbig2", 1020},
        {VRX_EncodeType::jbigcolor(), "jbigcolor", 1040},
        {VRX_EncodeType::jpeg(), "jpeg", 2000},
        {VRX_EncodeType::jpeg2000(), "jpeg2000", 2020},
        {VRX_EncodeType::qm_mrcs(), "qm_mrcs", 8000},
        {VRX_EncodeType::qm_mrct(), "qm_mrct", 8020},
        {VRX_EncodeType::ascii85(), "ascii85", 10000},
        {VRX_EncodeType::asciihex(), "asciihex", 10020},
        {VRX_EncodeType::base64(), "base64", 10040},
        {VRX_EncodeType::unknown(), "unknown", -1},
    };
    std::set<const VRX_EncodeType*> addresses;
    for (const Row& r : rows) {
        addresses.insert(r.type);
        EXPECT_STREQ(r.type->name(), r.name);
        EXPECT_EQ(r.type->id(), r.id) << r.name;
        EXPECT_EQ(r.type->is_raw(), std::string(r.name) == "raw");
    }
    EXPECT_EQ(addresses.size(), std::size(rows));
}

}  // namespace
