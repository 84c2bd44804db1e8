// Direct lookup with tetrahedral interpolation against the numpy model
// (colour_model.py): random tables of 1 to 3 inputs at grids 2, 33 and 65
// and of 4 and 5 inputs at grid 5, 1 to 4 outputs, 8- and 16-bit sources
// with tables of either width, both grid orders, bit for bit.
#include <gtest/gtest.h>

#include "tests/vrx/core/colorspace/colour_test_support.h"
#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "vrx/core/dlut/vrx_dluttetrahedron.h"
#include "vrx/core/dlut/vrx_dluttetrahedronengine.h"

namespace {

using namespace vrx_colour_test;

TEST(DLutTetrahedron, RandomTablesMatchTheModel) {
    const auto rows = read_fixture("dlut_cases.txt");
    ASSERT_EQ(rows.size(), 88u);
    for (size_t index = 0; index < rows.size(); ++index) {
        const auto& row = rows[index];
        const uint16_t n = std::stoi(row[0]), m = std::stoi(row[1]), grid = std::stoi(row[2]);
        const uint16_t src_bits = std::stoi(row[3]), table_bits = std::stoi(row[4]);
        const uint8_t first_slowest = std::stoi(row[5]);
        SCOPED_TRACE(testing::Message()
                     << "case " << index << ": " << n << " inputs, " << m << " outputs, grid "
                     << grid << ", " << src_bits << "-bit source, " << table_bits << "-bit table");
        // The model's dlut_case_data: the table, 24 random pixels, the corners.
        XorShift rng(0xD1B54A32u ^ static_cast<uint32_t>(index));
        size_t samples = m;
        for (uint16_t i = 0; i < n; ++i) samples *= grid;
        std::vector<uint8_t> table8;
        std::vector<uint16_t> table16;
        for (size_t i = 0; i < samples; ++i) {
            const uint32_t v = rng.below(table_bits == 8 ? 256 : 65536);
            if (table_bits == 8)
                table8.push_back(static_cast<uint8_t>(v));
            else
                table16.push_back(static_cast<uint16_t>(v));
        }
        const uint32_t max = (1u << src_bits) - 1;
        std::vector<uint32_t> px;
        for (int i = 0; i < 24 * n; ++i) px.push_back(rng.below(max + 1));
        for (uint32_t p = 0; p < (1u << n); ++p)
            for (uint16_t c = 0; c < n; ++c) px.push_back(max * ((p >> c) & 1));
        const void* table = table_bits == 8 ? static_cast<const void*>(table8.data())
                                            : static_cast<const void*>(table16.data());
        vrx_test::TestManager manager;
        Output header;
        const std::vector<uint32_t> got = run_stage(
            manager, line_format(px.size(), src_bits, n, color_for(n)), px,
            [&](VRX_Engine* e) {
                return VRX_DLutTetrahedron(&manager).engine(e, table_bits, m, grid, first_slowest,
                                                            table, color_for(m));
            },
            &header);
        EXPECT_EQ(header.channels, m);
        EXPECT_EQ(header.color, color_for(m));
        EXPECT_EQ(first_difference(got, hex_samples(row[6], src_bits), 0), -1);
    }
}

// The cells and fractions of the 8-bit engine at 33 grid points, and the
// order of the simplex vertices.
TEST(DLutTetrahedron, CellsFractionsAndVertexOrder) {
    vrx_test::TestManager manager;
    const std::vector<uint8_t> table(33 * 33 * 33 * 3, 7);
    const std::vector<uint8_t> pixels(3 * 4, 0);
    VRX_Engine* source = read_memory(manager, format_of<uint8_t>(4, 1, 3), pixels);
    using Engine = VRX_DLutTetrahedronEngine<uint8_t, uint32_t>;
    auto* e = static_cast<Engine*>(vrx_convert_test::build_engine<Engine>(
        manager, source, uint16_t{8}, uint16_t{3}, uint16_t{33}, uint8_t{1},
        static_cast<const void*>(table.data()), static_cast<const VRX_ColorType*>(nullptr)));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->cell(0), 0u);
    EXPECT_EQ(e->fraction(0), 0u);
    EXPECT_EQ(e->cell(255), 31u);
    EXPECT_EQ(e->fraction(255), 16384u);
    EXPECT_EQ(e->cell(8), 1u);                // 8 x 32 / 255 = 1.0039
    EXPECT_EQ(e->fraction(8), 64u);           // 0.0039 x 16384 rounded
    EXPECT_EQ(e->stride(0), 33u * 33u * 3u);  // input 0 slowest
    EXPECT_EQ(e->stride(2), 3u);
    const uint32_t f[3] = {8192, 4096, 12288};
    uint32_t order[3];
    e->order_simplex_vertices(f, order);
    EXPECT_EQ(std::vector<uint32_t>(order, order + 3), (std::vector<uint32_t>{2, 0, 1}));
    EXPECT_TRUE(manager.execute());
}

}  // namespace
