#include "jpegkernels/kernel_dispatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string_view>
#include <vector>

#include "jpegkernels/idct/idct_kernels.h"

namespace jpegkernels {
namespace {

constexpr KernelRow AllRows(int i) { return static_cast<KernelRow>(i); }

TEST(KernelDispatchTable, EveryEntryOfEveryRowIsSet) {
    for (int r = 1; r <= kKernelRowCount; ++r) {
        for (int k = 0; k < kProcessorColumns; ++k) {
            EXPECT_NE(kKernelDispatchTable.EntryAddress(AllRows(r), k), nullptr) << "row " << r << " column " << k;
        }
    }
    EXPECT_EQ(kKernelDispatchTable.EntryAddress(KernelRow::DequantInverseDct8x8, 6), nullptr);
    EXPECT_EQ(kKernelDispatchTable.EntryAddress(KernelRow::DequantInverseDct8x8, -1), nullptr);
}

TEST(KernelDispatchTable, BuiltRowsAreKnown) {
    EXPECT_TRUE(IsKernelRowBuilt(KernelRow::DequantInverseDct8x8));
    EXPECT_FALSE(IsKernelRowBuilt(static_cast<KernelRow>(0)));
    EXPECT_FALSE(IsKernelRowBuilt(static_cast<KernelRow>(30)));
    for (int r = 1; r <= kKernelRowCount; ++r) EXPECT_TRUE(IsKernelRowBuilt(AllRows(r))) << "row " << r;
}

TEST(KernelDispatchTable, RowThirteenHasOneEntryPerProcessorIndex) {
    const auto& row = kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>();
    EXPECT_EQ(row[0], &DequantInverseDct8x8);
    EXPECT_EQ(row[1], &DequantInverseDct8x8_Mmx);
    EXPECT_EQ(row[2], &DequantInverseDct8x8_Sse2);
    EXPECT_EQ(row[3], &DequantInverseDct8x8_Sse3);
    EXPECT_EQ(row[4], &DequantInverseDct8x8_Ssse3);
    EXPECT_EQ(row[5], &DequantInverseDct8x8_Sse41);
    std::set<const void*> distinct;
    for (int k = 0; k < kProcessorColumns; ++k) distinct.insert(kKernelDispatchTable.EntryAddress(KernelRow::DequantInverseDct8x8, k));
    EXPECT_EQ(distinct.size(), 6u);
}

// Columns share one function exactly where the table says so, and every
// other column has an entry of its own.
TEST(KernelDispatchTable, RowsShareEntriesAsListed) {
    struct Sharing {
        KernelRow row;
        std::vector<std::set<int>> groups;
    };
    const Sharing rows[] = {
        {KernelRow::HuffmanDecoderTableSize, {{0, 1, 2, 3, 4, 5}}},
        {KernelRow::HuffmanDecoderTableInit, {{0}, {1}, {2}, {3}, {4}, {5}}},
        {KernelRow::HuffmanDecoderStateSize, {{0, 1, 2, 3, 4, 5}}},
        {KernelRow::HuffmanDecoderStateInit, {{0, 1, 2, 3, 4, 5}}},
        {KernelRow::HuffmanDecodeBlock8x8, {{0}, {1}, {2}, {3}, {4}, {5}}},
        {KernelRow::HuffmanDecodeOneDiff, {{0, 1}, {2}, {3}, {4}, {5}}},
        {KernelRow::LosslessDecodeRow, {{0, 1}, {2, 3}, {4}, {5}}},
        {KernelRow::LosslessReconstructFirstRow, {{0, 1}, {2}, {3}, {4}, {5}}},
        {KernelRow::LosslessReconstructRow, {{0}, {1}, {2}, {3}, {4}, {5}}},
        {KernelRow::HuffmanEncoderTableSize, {{0, 1, 2, 3, 4, 5}}},
        {KernelRow::HuffmanTableFromStatisticsBufferSize, {{0, 1, 2, 3, 4, 5}}},
        {KernelRow::LosslessDiffFirstRow, {{0, 1}, {2}, {3}, {4}, {5}}},
        {KernelRow::LosslessGatherStatistics, {{0, 1}, {2, 3, 4, 5}}},
    };
    std::vector<Sharing> all(std::begin(rows), std::end(rows));
    for (KernelRow own : {KernelRow::RgbToYCbCrLevelShift444, KernelRow::RgbToYCbCrLevelShift422,
                          KernelRow::RgbToYCbCrLevelShift420, KernelRow::LevelShiftSplit444, KernelRow::LevelShiftSplit422,
                          KernelRow::LevelShiftSplit420, KernelRow::ForwardDctQuant8x8, KernelRow::HuffmanEncodeBlock8x8,
                          KernelRow::HuffmanEncoderTableInit, KernelRow::HuffmanEncoderStateInit, KernelRow::QuantTableInit,
                          KernelRow::LosslessEncodeRow, KernelRow::LosslessDiffRow, KernelRow::LosslessEncodeOneDiff,
                          KernelRow::HuffmanTableFromStatistics}) {
        all.push_back({own, {{0}, {1}, {2}, {3}, {4}, {5}}});
    }
    EXPECT_EQ(all.size(), 28u);  // every row but 13, tested above
    for (const Sharing& s : all) {
        SCOPED_TRACE(static_cast<int>(s.row));
        EXPECT_TRUE(IsKernelRowBuilt(s.row));
        std::set<const void*> distinct;
        for (const std::set<int>& group : s.groups) {
            const void* first = kKernelDispatchTable.EntryAddress(s.row, *group.begin());
            for (int k : group) EXPECT_EQ(kKernelDispatchTable.EntryAddress(s.row, k), first) << k;
            distinct.insert(first);
        }
        EXPECT_EQ(distinct.size(), s.groups.size());
    }
}

// Stub flags and names as the table lists them.
TEST(KernelDispatchTable, RowTraits) {
    EXPECT_EQ(std::string_view(KernelRowTraits<KernelRow::HuffmanDecodeBlock8x8>::kName), "HuffmanDecodeBlock8x8");
    EXPECT_TRUE(KernelRowTraits<KernelRow::RgbToYCbCrLevelShift444>::kHasStub);
    EXPECT_TRUE(KernelRowTraits<KernelRow::LevelShiftSplit420>::kHasStub);
    EXPECT_FALSE(KernelRowTraits<KernelRow::ForwardDctQuant8x8>::kHasStub);
    EXPECT_FALSE(KernelRowTraits<KernelRow::HuffmanEncoderStateInit>::kHasStub);
    EXPECT_TRUE(KernelRowTraits<KernelRow::QuantTableInit>::kHasStub);
    EXPECT_FALSE(KernelRowTraits<KernelRow::QuantTableInit>::kReachedByDecoder);
    EXPECT_TRUE(KernelRowTraits<KernelRow::HuffmanDecoderStateInit>::kReachedByDecoder);
    EXPECT_FALSE(KernelRowTraits<KernelRow::HuffmanDecodeOneDiff>::kHasStub);
    EXPECT_TRUE(KernelRowTraits<KernelRow::LosslessReconstructRow>::kHasStub);
    EXPECT_FALSE(KernelRowTraits<KernelRow::LosslessEncodeRow>::kHasStub);
    EXPECT_FALSE(KernelRowTraits<KernelRow::HuffmanTableFromStatisticsBufferSize>::kHasStub);
}

TEST(KernelDispatchStub, FollowsTheProcessorIndex) {
    // DC 4 alone: the generic entry gives 1 everywhere, the processor entries
    // give 0 in rows 3 and 4.
    int16_t coefficients[64] = {4};
    int16_t table[64];
    for (int16_t& q : table) q = 1;
    for (int k = 0; k < kProcessorColumns; ++k) {
        SetProcessorIndex(k);
        int16_t viaStub[64], direct[64];
        ASSERT_EQ(KernelDispatchStub<KernelRow::DequantInverseDct8x8>(coefficients, viaStub, table), kKernelOk);
        ASSERT_EQ(kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>()[k](coefficients, direct, table),
                  kKernelOk);
        EXPECT_EQ(0, std::memcmp(viaStub, direct, sizeof direct)) << k;
        EXPECT_EQ(viaStub[24], k == 0 ? 1 : 0) << k;
    }
    ResetKernelDispatch();
    EXPECT_EQ(ProcessorIndex(), 0);
}

TEST(KernelDispatchStub, OutOfRangeIndexFallsBackToGeneric) {
    SetProcessorIndex(9);
    EXPECT_EQ(ProcessorIndex(), 0);
    SetProcessorIndex(-1);
    EXPECT_EQ(ProcessorIndex(), 0);
}

}  // namespace
}  // namespace jpegkernels
