#include "vrx/core/lut/vrx_lut.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/lut/vrx_lut8xnbitsengine.h"
#include "vrx/core/lut/vrx_lutdata.h"

namespace {

using namespace vrx_convert_test;

// Entry i of table t: distinct values that fill Dst's range, negative and
// fractional ones included.
template <class Dst>
Dst entry(uint32_t i, uint32_t t) {
    if constexpr (std::is_floating_point_v<Dst>)
        return static_cast<Dst>(i * 0.25 - 1000.5 * t);
    else
        return static_cast<Dst>(i * 40503u + t * 977u + 11u);
}

// Fills a table object with `tables` tables for a source of Src; false when
// the copy cannot be allocated.
template <class Src, class Dst>
bool fill(VRX_LutData& table, uint16_t tables) {
    const uint32_t entries = 1u << (sizeof(Src) * 8);
    table.bits = sizeof(Dst) * 8;
    table.channels = tables;
    table.entries = entries;
    table.data_type = data_type_of<Dst>();
    std::vector<Dst> values;
    for (uint32_t t = 0; t < tables; ++t)
        for (uint32_t i = 0; i < entries; ++i) values.push_back(entry<Dst>(i, t));
    return table.value(values.data(), static_cast<uint32_t>(values.size() * sizeof(Dst)));
}

// Every value of Src in each of `channels` channels through a table object
// of `tables` tables: sample v of channel c becomes entry v - min(Src) of
// table c (or of the one table); the output takes the table's type.
template <class Src, class Dst>
void check_instance(uint16_t channels, uint16_t tables) {
    SCOPED_TRACE(testing::Message() << sizeof(Src) * 8 << (std::is_signed_v<Src> ? "s" : "u")
                                    << " to " << sizeof(Dst) * 8 << " " << typeid(Dst).name()
                                    << ", " << channels << " channels, " << tables << " tables");
    const std::vector<Src> values = every_value<Src>();
    std::vector<Src> samples;
    for (Src v : values)
        for (uint16_t c = 0; c < channels; ++c)
            samples.push_back(static_cast<Src>(v + c));  // each channel its own order
    VRX_DefaultManager manager;
    const std::vector<uint8_t> bytes = to_bytes(samples);
    const uint32_t width = sizeof(Src) == 1 ? 16 : 256;
    VRX_Engine* source = read_memory(manager, format_of<Src>(width, width, channels), bytes);
    VRX_Engine* lut = nullptr;
    {
        // The engine keeps its own copy of the table.
        VRX_LutData table(&manager);
        ASSERT_TRUE((fill<Src, Dst>(table, tables)));
        lut = VRX_Lut(&manager).engine(source, &table, nullptr);
    }
    ASSERT_NE(lut, nullptr);
    const VRX_Header* header = lut->header();
    EXPECT_EQ(header->bits, sizeof(Dst) * 8);
    EXPECT_EQ(header->data_type(), data_type_of<Dst>());
    EXPECT_EQ(header->color_type(), color_for(channels));
    std::vector<uint8_t> out;
    ASSERT_TRUE(write_memory(manager, lut, out));
    const std::vector<Dst> got = from_bytes<Dst>(out);
    ASSERT_EQ(got.size(), samples.size());
    size_t wrong = 0;
    for (size_t k = 0; k < samples.size(); ++k) {
        const uint32_t index =
            static_cast<uint32_t>(int64_t{samples[k]} - std::numeric_limits<Src>::min());
        const Dst want = entry<Dst>(index, tables == 1 ? 0 : k % channels);
        wrong += std::memcmp(&got[k], &want, sizeof(Dst)) != 0;
    }
    EXPECT_EQ(wrong, 0u);
}

template <class Src>
void check_every_entry_type(uint16_t channels, uint16_t tables) {
    check_instance<Src, uint8_t>(channels, tables);
    check_instance<Src, int8_t>(channels, tables);
    check_instance<Src, uint16_t>(channels, tables);
    check_instance<Src, int16_t>(channels, tables);
    check_instance<Src, uint32_t>(channels, tables);
    check_instance<Src, int32_t>(channels, tables);
    check_instance<Src, float>(channels, tables);
    check_instance<Src, double>(channels, tables);
}

// All 32 instances over every source value, with one shared table and with
// one table per channel.
TEST(Lut, EveryInstanceMapsEverySourceValue) {
    for (auto [channels, tables] : {std::pair<uint16_t, uint16_t>{1, 1}, {3, 1}, {3, 3}}) {
        check_every_entry_type<uint8_t>(channels, tables);
        check_every_entry_type<int8_t>(channels, tables);
        check_every_entry_type<uint16_t>(channels, tables);
        check_every_entry_type<int16_t>(channels, tables);
    }
}

TEST(Lut, ColourTypeAndTableObjectLifetime) {
    VRX_DefaultManager manager;
    VRX_LutData table(&manager);
    ASSERT_TRUE((fill<uint8_t, uint8_t>(table, 3)));
    const std::vector<uint8_t> bytes(12, 5);
    const Format rgb = format_of<uint8_t>(2, 2, 3);
    VRX_Engine* lut =
        VRX_Lut(&manager).engine(read_memory(manager, rgb, bytes), &table, VRX_ColorType::ycbcr());
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(lut->header()->color_type(), VRX_ColorType::ycbcr());
    EXPECT_NO_ERROR(manager);
    // One table: the colour type is set without the channel test.
    VRX_LutData one(&manager);
    ASSERT_TRUE((fill<uint8_t, uint8_t>(one, 1)));
    lut = VRX_Lut(&manager).engine(read_memory(manager, rgb, bytes), &one, VRX_ColorType::gray());
    ASSERT_NE(lut, nullptr);
    EXPECT_EQ(lut->header()->color_type(), VRX_ColorType::gray());
    EXPECT_TRUE(manager.execute());
}

// Every allocation of a three-table lookup chain failing in turn.
TEST(Lut, AllocationFailures) {
    const std::vector<uint8_t> bytes(16 * 16 * 3, 0x80);  // -128 everywhere
    vrx_test::sweep_allocation_failures("lookup", 100, [&](vrx_test::TestManager& m) {
        VRX_LutData table(&m);
        fill<int8_t, float>(table, 3);
        VRX_Engine* source = read_memory(m, format_of<int8_t>(16, 16, 3), bytes);
        VRX_Engine* lut = VRX_Lut(&m).engine(source, &table, nullptr);
        std::vector<uint8_t> out;
        return lut && write_memory(m, lut, out) && from_bytes<float>(out)[0] == entry<float>(0, 0);
    });
}

TEST(LutData, ValueAndValidity) {
    VRX_DefaultManager manager;
    VRX_LutData table(&manager);
    EXPECT_TRUE(table.value(nullptr, 0));
    EXPECT_TRUE(table.is_valid());  // the empty object
    EXPECT_EQ(table.data(), nullptr);

    struct Case {
        uint16_t bits, channels;
        uint32_t entries;
        const VRX_DataType* type;
        uint32_t size;  // bytes handed to value; 0 with a null pointer
        bool accepted, valid;
    } cases[] = {
        {8, 1, 256, VRX_DataType::u_integer(), 0, false, false},  // 0 is not 256
        {8, 1, 256, VRX_DataType::u_integer(), 256, true, true},
        {8, 1, 256, VRX_DataType::u_integer(), 255, false, false},
        {8, 1, 65536, VRX_DataType::u_integer(), 65536, true, true},
        {8, 1, 65537, VRX_DataType::u_integer(), 65537, true, false},  // too many entries
        {64, 1, 4, VRX_DataType::u_integer(), 32, true, false},        // no 64-bit integers
        {8, 1, 4, VRX_DataType::floating(), 4, true, false},           // no 8-bit floats
        {8, 1, 4, VRX_DataType::unknown(), 4, true, false},
        {12, 1, 4, VRX_DataType::u_integer(), 6, true, false},
        {64, 2, 4, VRX_DataType::floating(), 64, true, true},
        {32, 3, 256, VRX_DataType::s_integer(), 3072, true, true},
        // channels x bits x entries / 8 past 32 bits never matches a size.
        {16, 65535, 65536, VRX_DataType::u_integer(), 0xFFFE0000u, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "x" << c.channels << "x" << c.entries);
        VRX_LutData t(&manager);
        t.bits = c.bits;
        t.channels = c.channels;
        t.entries = c.entries;
        t.data_type = c.type;
        // A size the description allows is copied from this buffer.
        const bool copyable = c.accepted;
        std::vector<uint8_t> bytes(copyable ? c.size : 1, 7);
        EXPECT_EQ(t.value(c.size ? bytes.data() : nullptr, c.size), c.accepted);
        if (c.accepted) {
            EXPECT_NO_ERROR(manager);
        } else {
            EXPECT_TRUE(iotest::reported(manager, 0x80800000, "VRX_LutData::value()"));
        }
        EXPECT_EQ(t.is_valid(), c.valid);
    }
    // A pointer without a size and a size without a pointer.
    uint8_t byte = 1;
    VRX_LutData t(&manager);
    EXPECT_FALSE(t.value(&byte, 0));
    EXPECT_FALSE(t.value(nullptr, 256));
    // A second value() replaces the table; fields changed afterwards no
    // longer describe it.
    t.bits = 8;
    t.channels = 1;
    t.entries = 2;
    const uint8_t first[2] = {1, 2}, second[2] = {3, 4};
    ASSERT_TRUE(t.value(first, 2));
    ASSERT_TRUE(t.value(second, 2));
    EXPECT_EQ(t.data()[0], 3);
    EXPECT_TRUE(t.is_valid());
    t.entries = 4;
    EXPECT_FALSE(t.is_valid());
}

// A table allocation that fails leaves no table.
TEST(LutData, FailedCopyLeavesNoTable) {
    vrx_test::TestManager manager;
    VRX_LutData t(&manager);
    t.bits = 8;
    t.channels = 1;
    t.entries = 2;
    const uint8_t bytes[2] = {1, 2};
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(t.value(bytes, 2));
    EXPECT_EQ(t.data(), nullptr);
    EXPECT_EQ(manager.status().code, 0x80010000u);
}

}  // namespace
