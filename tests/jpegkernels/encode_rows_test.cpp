// The encoding rows' argument checks in every column (order and statuses,
// nothing touched on a refusal), and the table rows 9 to 12 and 27 to 29
// across the columns at every output offset.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::ColumnResult;
using testing::GuardedArray;

TEST(EncodingRows, RefuseTheirArgumentsInOrderInEveryColumn) {
    const auto& t = kKernelDispatchTable;
    for (int k = 0; k < kProcessorColumns; ++k) {
        SCOPED_TRACE(k);
        uint8_t bytes[64] = {};
        int16_t block[64] = {}, y[256], cb[64], cr[64], predictor = 0;
        uint16_t words[64] = {};
        uint32_t position = 0, counts[17] = {};
        int32_t size = 0, statistics[257] = {};
        HuffmanEncoderTable table{};
        HuffmanEncoderState state{};
        int16_t* planes[3] = {y, cb, cr};
        int16_t* holed[3] = {y, nullptr, cr};
        const int16_t* rows[5] = {block, block, block, block, nullptr};
        const HuffmanEncoderTable* tables[5] = {&table, &table, &table, &table, nullptr};
        const std::pair<std::function<KernelStatus()>, KernelStatus> cases[] = {
            // Rows 1 to 6: null first, then the row step, then the planes.
            {[&] { return t.Row<KernelRow::RgbToYCbCrLevelShift444>()[k](nullptr, 0, planes); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::RgbToYCbCrLevelShift422>()[k](bytes, 0, holed); }, kKernelRowStepBelowOne},
            {[&] { return t.Row<KernelRow::RgbToYCbCrLevelShift420>()[k](bytes, -5, planes); }, kKernelRowStepBelowOne},
            {[&] { return t.Row<KernelRow::LevelShiftSplit444>()[k](bytes, 24, nullptr); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::LevelShiftSplit422>()[k](bytes, 48, holed); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::LevelShiftSplit420>()[k](bytes, 0, nullptr); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::ForwardDctQuant8x8>()[k](block, nullptr); }, kKernelNullPointer},
            // Row 8: buffer, size, position and state before the flush flag.
            {[&] { return t.Row<KernelRow::HuffmanEncodeBlock8x8>()[k](block, nullptr, 0, nullptr, &predictor, &table, &table, &state, 0); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::HuffmanEncodeBlock8x8>()[k](block, bytes, 0, nullptr, &predictor, &table, &table, &state, 1); }, kKernelSizeBelowOne},
            {[&] { return t.Row<KernelRow::HuffmanEncodeBlock8x8>()[k](nullptr, bytes, 64, &position, nullptr, nullptr, nullptr, &state, 1); }, kKernelOk},
            {[&] { return t.Row<KernelRow::HuffmanEncodeBlock8x8>()[k](block, bytes, 64, &position, &predictor, &table, nullptr, &state, 0); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::HuffmanEncoderTableSize>()[k](nullptr); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::HuffmanEncoderTableInit>()[k](bytes, bytes, nullptr); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::HuffmanEncoderStateInit>()[k](nullptr); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::QuantTableInit>()[k](nullptr, words); }, kKernelNullPointer},
            // Row 23: the output checks, the flush, then rows, counts, tables,
            // and the pointers of the first four components only.
            {[&] { return t.Row<KernelRow::LosslessEncodeRow>()[k](nullptr, 0, 0, bytes, 64, &position, nullptr, nullptr, 1); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::LosslessEncodeRow>()[k](nullptr, 0, 0, bytes, 64, &position, nullptr, &state, 1); }, kKernelOk},
            {[&] { return t.Row<KernelRow::LosslessEncodeRow>()[k](rows, 0, 1, bytes, 64, &position, nullptr, &state, 0); }, kKernelSizeBelowOne},
            {[&] { return t.Row<KernelRow::LosslessEncodeRow>()[k](rows, 8, 1, bytes, 64, &position, nullptr, &state, 0); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::LosslessEncodeRow>()[k](rows, 8, 5, bytes, 64, &position, tables, &state, 0); }, kKernelTooManyCodes},
            {[&] { return t.Row<KernelRow::LosslessDiffFirstRow>()[k](words, words, 8, 17, 0); }, kKernelOutOfRange},
            {[&] { return t.Row<KernelRow::LosslessDiffFirstRow>()[k](words, nullptr, 0, 17, 0); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::LosslessDiffRow>()[k](words, words, words, 0, 9); }, kKernelSizeBelowOne},
            {[&] { return t.Row<KernelRow::LosslessEncodeOneDiff>()[k](nullptr, bytes, 64, &position, nullptr, &state, 0); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::LosslessEncodeOneDiff>()[k](nullptr, bytes, -1, &position, nullptr, &state, 1); }, kKernelSizeBelowOne},
            {[&] { return t.Row<KernelRow::LosslessGatherStatistics>()[k](block, nullptr); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::HuffmanTableFromStatistics>()[k](statistics, nullptr, bytes); }, kKernelNullPointer},
            {[&] { return t.Row<KernelRow::HuffmanTableFromStatisticsBufferSize>()[k](&size); }, kKernelOk},
        };
        for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first(), cases[i].second) << "case " << i;
        EXPECT_EQ(size, 1048);
        EXPECT_EQ(position, 0u);
        EXPECT_TRUE(std::all_of(bytes, bytes + 64, [](uint8_t b) { return b == 0; }));
        EXPECT_TRUE(std::all_of(counts, counts + 17, [](uint32_t c) { return c == 0; }));
    }
}

// The table rows write the same bytes in every column, wherever their
// outputs lie, and nothing around them.
TEST(EncodingRows, TableRowsAgreeAtEveryOffset) {
    std::mt19937 rng(9);
    for (size_t offset = 0; offset < 16; ++offset) {
        const testing::DhtTable dht = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, static_cast<int>(rng() % 256)), 16));
        std::vector<uint8_t> huffval = dht.huffval;
        huffval.resize(256);
        std::array<uint8_t, 64> quantisers;
        for (uint8_t& q : quantisers) q = static_cast<uint8_t>(rng());
        std::vector<int32_t> statistics(257);
        for (int32_t& c : statistics) c = rng() % 3 ? static_cast<int32_t>(rng() % 1000) : 0;
        const int16_t difference = static_cast<int16_t>(rng());
        auto run = [&](auto tag, auto&& call) {
            constexpr KernelRow kRow = decltype(tag)::value;
            const auto results = testing::RunAllColumns<kRow>([&](KernelRowFunction<kRow> entry, int) {
                ColumnResult r;
                r.status = call(entry, r);
                return r;
            });
            EXPECT_TRUE(testing::ColumnsAgree<kRow>(results)) << static_cast<int>(kRow) << " offset " << offset;
        };
        run(std::integral_constant<KernelRow, KernelRow::HuffmanEncoderTableInit>{}, [&](auto entry, ColumnResult& r) {
            GuardedArray<uint8_t> out(sizeof(HuffmanEncoderTable), offset & 12);
            const KernelStatus s = entry(dht.bits.data(), huffval.data(), reinterpret_cast<HuffmanEncoderTable*>(out.data()));
            r.output = out.Bytes();
            r.guardsIntact = out.GuardsIntact();
            return s;
        });
        run(std::integral_constant<KernelRow, KernelRow::HuffmanEncoderStateInit>{}, [&](auto entry, ColumnResult& r) {
            GuardedArray<uint8_t> out(sizeof(HuffmanEncoderState), offset & 12);
            std::memset(out.data(), 0x3C, out.size());
            const KernelStatus s = entry(reinterpret_cast<HuffmanEncoderState*>(out.data()));
            r.output = out.Bytes();
            r.guardsIntact = out.GuardsIntact() && std::all_of(r.output.begin(), r.output.end(), [](uint8_t b) { return b == 0; });
            return s;
        });
        run(std::integral_constant<KernelRow, KernelRow::QuantTableInit>{}, [&](auto entry, ColumnResult& r) {
            GuardedArray<uint16_t> out(64, offset);
            const KernelStatus s = entry(quantisers.data(), out.data());
            r.output = out.Bytes();
            r.guardsIntact = out.GuardsIntact();
            return s;
        });
        run(std::integral_constant<KernelRow, KernelRow::HuffmanTableFromStatistics>{}, [&](auto entry, ColumnResult& r) {
            GuardedArray<uint8_t> bits(16, offset), values(256, 15 - offset);
            const KernelStatus s = entry(statistics.data(), bits.data(), values.data());
            r.output = bits.Bytes();
            const auto v = values.Bytes();
            r.output.insert(r.output.end(), v.begin(), v.end());
            r.guardsIntact = bits.GuardsIntact() && values.GuardsIntact();
            return s;
        });
        run(std::integral_constant<KernelRow, KernelRow::LosslessGatherStatistics>{}, [&](auto entry, ColumnResult& r) {
            GuardedArray<uint32_t> counts(17, offset);
            std::memset(counts.data(), 0, 17 * sizeof(uint32_t));
            const KernelStatus s = entry(&difference, counts.data());
            r.output = counts.Bytes();
            r.guardsIntact = counts.GuardsIntact();
            return s;
        });
        for (KernelRow sizeRow : {KernelRow::HuffmanEncoderTableSize, KernelRow::HuffmanTableFromStatisticsBufferSize}) {
            for (int k = 0; k < kProcessorColumns; ++k) {
                int32_t size = 0;
                const auto entry = sizeRow == KernelRow::HuffmanEncoderTableSize ? kKernelDispatchTable.Row<KernelRow::HuffmanEncoderTableSize>()[k]
                                                                                : kKernelDispatchTable.Row<KernelRow::HuffmanTableFromStatisticsBufferSize>()[k];
                EXPECT_EQ(entry(&size), kKernelOk);
                EXPECT_EQ(size, sizeRow == KernelRow::HuffmanEncoderTableSize ? 1024 : 1048);
            }
        }
    }
}

}  // namespace
}  // namespace jpegkernels
