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

bool NotBuilt(KernelRow row) { return !IsKernelRowBuilt(row); }

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
    int built = 0;
    for (int r = 1; r <= kKernelRowCount; ++r) built += IsKernelRowBuilt(AllRows(r));
    EXPECT_GE(built, 1);
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

// Rows 14 to 22 are built; columns share one function exactly where the
// table says so, and every other column has an entry of its own.
TEST(KernelDispatchTable, DecodingRowsShareEntriesAsListed) {
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
    };
    for (const Sharing& s : rows) {
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

// Rows not built yet: every column checks the row's arguments and reports
// kKernelNotBuilt instead of running.
TEST(NotBuiltRows, CheckArgumentsThenReportNotBuilt) {
    int32_t size = 0;
    HuffmanDecoderState state{};
    uint16_t a[8] = {}, b[8] = {}, c[8] = {};
    const uint8_t data[4] = {};
    uint32_t position = 0;
    MarkerWord marker = 0;
    HuffmanDecoderTable table{};
    int16_t block[64] = {}, predictor = 0;
    for (int k = 0; k < kProcessorColumns; ++k) {
        SCOPED_TRACE(k);
        const auto& t = kKernelDispatchTable;
        if (NotBuilt(KernelRow::HuffmanDecoderTableSize)) {
            EXPECT_EQ(t.Row<KernelRow::HuffmanDecoderTableSize>()[k](&size), kKernelNotBuilt);
            EXPECT_EQ(t.Row<KernelRow::HuffmanDecoderTableSize>()[k](nullptr), kKernelNullPointer);
        }
        if (NotBuilt(KernelRow::HuffmanDecoderStateInit)) {
            EXPECT_EQ(t.Row<KernelRow::HuffmanDecoderStateInit>()[k](&state), kKernelNotBuilt);
            EXPECT_EQ(t.Row<KernelRow::HuffmanDecoderStateInit>()[k](nullptr), kKernelNullPointer);
        }
        if (NotBuilt(KernelRow::LosslessReconstructFirstRow)) {
            const auto f = t.Row<KernelRow::LosslessReconstructFirstRow>()[k];
            EXPECT_EQ(f(a, b, 8, 8, 0), kKernelNotBuilt);
            EXPECT_EQ(f(nullptr, b, 8, 8, 0), kKernelNullPointer);
            EXPECT_EQ(f(a, b, 0, 8, 0), kKernelSizeBelowOne);
            EXPECT_EQ(f(a, b, 8, 17, 0), kKernelOutOfRange);
            EXPECT_EQ(f(a, b, 8, 1, 0), kKernelOutOfRange);
            EXPECT_EQ(f(a, b, 8, 8, -1), kKernelOutOfRange);
            EXPECT_EQ(f(a, b, 8, 8, 9), kKernelNotBuilt);  // Pt is not compared with P
        }
        if (NotBuilt(KernelRow::LosslessReconstructRow)) {
            const auto f = t.Row<KernelRow::LosslessReconstructRow>()[k];
            EXPECT_EQ(f(a, b, c, 8, 7), kKernelNotBuilt);
            EXPECT_EQ(f(a, nullptr, c, 8, 1), kKernelNullPointer);
            EXPECT_EQ(f(a, b, c, 0, 0), kKernelSizeBelowOne);
            EXPECT_EQ(f(a, b, c, 8, 0), kKernelOutOfRange);
            EXPECT_EQ(f(a, b, c, 8, 8), kKernelOutOfRange);
        }
        if (NotBuilt(KernelRow::HuffmanDecodeBlock8x8)) {
            const auto f = t.Row<KernelRow::HuffmanDecodeBlock8x8>()[k];
            EXPECT_EQ(f(data, 4, &position, block, &predictor, &marker, &table, &table, &state), kKernelNotBuilt);
            EXPECT_EQ(f(nullptr, -1, &position, block, &predictor, &marker, &table, &table, &state),
                      kKernelNullPointer);
            EXPECT_EQ(f(data, -1, nullptr, block, &predictor, &marker, &table, &table, &state), kKernelOutOfRange);
            EXPECT_EQ(f(data, 0, &position, block, &predictor, &marker, &table, nullptr, &state),
                      kKernelNullPointer);
        }
        if (NotBuilt(KernelRow::LosslessDecodeRow)) {
            const auto f = t.Row<KernelRow::LosslessDecodeRow>()[k];
            uint16_t* outputs[5] = {a, b, c, a, nullptr};
            const HuffmanDecoderTable* tables[5] = {&table, &table, &table, &table, nullptr};
            // A fifth component is not examined.
            EXPECT_EQ(f(data, 4, &position, outputs, 8, 5, &marker, tables, &state), kKernelNotBuilt);
            EXPECT_EQ(f(data, 0, nullptr, outputs, 8, 5, &marker, tables, &state), kKernelSizeBelowOne);
            EXPECT_EQ(f(data, 4, &position, outputs, 0, 1, nullptr, tables, &state), kKernelSizeBelowOne);
            tables[2] = nullptr;
            EXPECT_EQ(f(data, 4, &position, outputs, 8, 2, &marker, tables, &state), kKernelNotBuilt);
            EXPECT_EQ(f(data, 4, &position, outputs, 8, 3, &marker, tables, &state), kKernelNullPointer);
        }
        if (NotBuilt(KernelRow::LevelShiftSplit420)) {
            const auto f = t.Row<KernelRow::LevelShiftSplit420>()[k];
            int16_t* planes[3] = {block, block, block};
            int16_t* holed[3] = {block, nullptr, block};
            EXPECT_EQ(f(data, 48, planes), kKernelNotBuilt);
            EXPECT_EQ(f(data, 0, nullptr), kKernelNullPointer);
            EXPECT_EQ(f(data, 0, planes), kKernelRowStepBelowOne);
            EXPECT_EQ(f(data, 48, holed), kKernelNullPointer);
        }
        if (NotBuilt(KernelRow::HuffmanEncodeBlock8x8)) {
            const auto f = t.Row<KernelRow::HuffmanEncodeBlock8x8>()[k];
            uint8_t out[16];
            HuffmanEncoderState encoder{};
            // With the flush flag set, block, predictor and tables are not examined.
            EXPECT_EQ(f(nullptr, out, 16, &position, nullptr, nullptr, nullptr, &encoder, 1), kKernelNotBuilt);
            EXPECT_EQ(f(nullptr, out, 16, &position, nullptr, nullptr, nullptr, &encoder, 0), kKernelNullPointer);
            EXPECT_EQ(f(block, out, 0, &position, &predictor, nullptr, nullptr, &encoder, 0), kKernelSizeBelowOne);
        }
    }
}

}  // namespace
}  // namespace jpegkernels
