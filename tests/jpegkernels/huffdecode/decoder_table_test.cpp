// Rows 14 to 17: decoder table and bit-state sizes, the table builder and
// the state reset, on every column.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::ColumnResult;
using testing::GuardedArray;
using testing::DhtTable;

constexpr KernelRow kInit = KernelRow::HuffmanDecoderTableInit;

// Builds a table on every column (table and inputs at the given byte
// offsets) and checks that all columns leave the same bytes and status.
std::array<ColumnResult, kProcessorColumns> BuildOnAllColumns(const DhtTable& dht, size_t offset = 0) {
    return testing::RunAllColumns<kInit>([&](KernelRowFunction<kInit> entry, int) {
        // The table is a record of 32-bit words: it keeps their alignment.
        GuardedArray<uint8_t> table(sizeof(HuffmanDecoderTable), 4 * (offset % 4)), bits(16, offset + 1),
            huffval(std::max<size_t>(dht.huffval.size(), 1), offset + 3);
        std::memset(table.data(), 0x5A, sizeof(HuffmanDecoderTable));
        bits.Assign(dht.bits.data());
        if (!dht.huffval.empty()) huffval.Assign(dht.huffval.data());
        ColumnResult r;
        r.status = entry(bits.data(), huffval.data(), reinterpret_cast<HuffmanDecoderTable*>(table.data()));
        r.output = table.Bytes();
        r.guardsIntact = table.GuardsIntact() && bits.GuardsIntact() && huffval.GuardsIntact();
        return r;
    });
}

HuffmanDecoderTable AsTable(const std::vector<uint8_t>& bytes) {
    HuffmanDecoderTable t;
    std::memcpy(&t, bytes.data(), sizeof t);
    return t;
}

TEST(DecoderRecords, SizesAndStateReset) {
    for (int k = 0; k < kProcessorColumns; ++k) {
        int32_t size = 0;
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanDecoderTableSize>()[k](&size), kKernelOk);
        EXPECT_EQ(size, 1644);
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateSize>()[k](&size), kKernelOk);
        EXPECT_EQ(size, 24);
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanDecoderTableSize>()[k](nullptr), kKernelNullPointer);
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateSize>()[k](nullptr), kKernelNullPointer);

        uint8_t raw[24];
        std::memset(raw, 0xA7, sizeof raw);
        HuffmanDecoderState state;
        std::memcpy(&state, raw, sizeof state);
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateInit>()[k](&state), kKernelOk);
        std::memcpy(raw, &state, sizeof raw);
        for (int i = 0; i < 20; ++i) EXPECT_EQ(raw[i], 0) << i;
        for (int i = 20; i < 24; ++i) EXPECT_EQ(raw[i], 0xA7) << i;
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateInit>()[k](nullptr), kKernelNullPointer);
    }
}

// The DC luminance table of the JPEG standard's examples: lengths 2 (one
// code), 3 (five), then one each from 4 to 9.
TEST(DecoderTable, LayoutOfAKnownTable) {
    DhtTable dht;
    dht.bits = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    for (int s = 0; s < 12; ++s) dht.huffval.push_back(static_cast<uint8_t>(11 - s));
    const auto results = BuildOnAllColumns(dht);
    ASSERT_TRUE(testing::ColumnsAgree<kInit>(results));
    ASSERT_EQ(results[0].status, kKernelOk);
    const HuffmanDecoderTable t = AsTable(results[0].output);
    for (int k = 0; k < 256; ++k) EXPECT_EQ(t.symbols[k], k < 12 ? 11 - k : 0) << k;
    // 00 -> symbol 11; 010..110 -> 10..6; 1110 -> 5; ... 11111110 -> 1.
    for (int p = 0; p < 64; ++p) EXPECT_EQ(t.lookahead[p], 11u | 2u << 16) << p;
    for (int p = 64; p < 96; ++p) EXPECT_EQ(t.lookahead[p], 10u | 3u << 16) << p;
    for (int p = 192; p < 224; ++p) EXPECT_EQ(t.lookahead[p], 6u | 3u << 16) << p;
    for (int p = 224; p < 240; ++p) EXPECT_EQ(t.lookahead[p], 5u | 4u << 16) << p;
    EXPECT_EQ(t.lookahead[254], 1u | 8u << 16);
    EXPECT_EQ(t.lookahead[255], 0u);  // the 9-bit code 111111110 begins here
    const int16_t maxcode[18] = {0, -1, 0, 6, 14, 30, 62, 126, 254, 510, -1, -1, -1, -1, -1, -1, -1, -1};
    const uint16_t mincode[18] = {0, 0, 0, 2, 14, 30, 62, 126, 254, 510, 0, 0, 0, 0, 0, 0, 0, 0};
    const uint16_t valptr[18] = {0, 0, 0, 1, 6, 7, 8, 9, 10, 11, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int l = 0; l < 18; ++l) {
        EXPECT_EQ(t.maxcode[l], maxcode[l]) << l;
        EXPECT_EQ(t.mincode[l], mincode[l]) << l;
        EXPECT_EQ(t.valptr[l], valptr[l]) << l;
    }
}

TEST(DecoderTable, CodeCountsAndCodesThatDoNotFit) {
    struct Case {
        const char* name;
        std::array<uint8_t, 16> bits;
        KernelStatus status;
    };
    const Case cases[] = {
        {"exactly 256 codes", {0, 0, 0, 0, 0, 0, 0, 255, 1}, kKernelOk},
        {"257 codes", {0, 0, 0, 0, 0, 0, 0, 255, 2}, kKernelTooManyCodes},
        {"three codes of one bit", {3}, kKernelTooManyCodes},
        {"two codes of one bit", {2}, kKernelOk},
        {"129 nine-bit codes after three of two bits", {0, 3, 0, 0, 0, 0, 0, 0, 129}, kKernelTooManyCodes},
        {"128 nine-bit codes after three of two bits", {0, 3, 0, 0, 0, 0, 0, 0, 128}, kKernelOk},
        {"no codes", {}, kKernelOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DhtTable dht;
        dht.bits = c.bits;
        int total = 0;
        for (uint8_t n : c.bits) total += n;
        for (int i = 0; i < total && i < 256; ++i) dht.huffval.push_back(static_cast<uint8_t>(i * 7));
        const auto results = BuildOnAllColumns(dht, 5);
        ASSERT_TRUE(testing::ColumnsAgree<kInit>(results));
        EXPECT_EQ(results[0].status, c.status);
    }
    // The 8-bit look-ahead of a table with only long codes stays empty.
    DhtTable longOnly;
    longOnly.bits = {0, 0, 0, 0, 0, 0, 0, 0, 2, 4, 0, 0, 0, 0, 0, 8};
    for (int i = 0; i < 14; ++i) longOnly.huffval.push_back(static_cast<uint8_t>(i));
    const auto results = BuildOnAllColumns(longOnly, 2);
    ASSERT_TRUE(testing::ColumnsAgree<kInit>(results));
    const HuffmanDecoderTable t = AsTable(results[0].output);
    for (uint32_t e : t.lookahead) ASSERT_EQ(e, 0u);
    EXPECT_EQ(t.maxcode[16], 519);  // 9 bits: 0, 1; 10 bits: 4..7; 16 bits: 512..519
}

TEST(DecoderTable, NullArgumentsWriteNothing) {
    uint8_t bits[16] = {0, 1};
    uint8_t huffval[1] = {5};
    for (int k = 0; k < kProcessorColumns; ++k) {
        HuffmanDecoderTable table;
        std::memset(&table, 0x33, sizeof table);
        const auto entry = kKernelDispatchTable.Row<kInit>()[k];
        EXPECT_EQ(entry(nullptr, huffval, &table), kKernelNullPointer);
        EXPECT_EQ(entry(bits, nullptr, &table), kKernelNullPointer);
        EXPECT_EQ(entry(bits, huffval, nullptr), kKernelNullPointer);
        const uint8_t* raw = reinterpret_cast<const uint8_t*>(&table);
        for (size_t i = 0; i < sizeof table; ++i) ASSERT_EQ(raw[i], 0x33);
    }
}

TEST(DecoderTable, RandomTablesAgreeOnEveryColumnAndOffset) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 60; ++trial) {
        const int count = 1 + static_cast<int>(rng() % 256);
        std::vector<int> symbols = testing::SymbolRange(0, 255);
        std::shuffle(symbols.begin(), symbols.end(), rng);
        symbols.resize(static_cast<size_t>(count));
        const DhtTable dht = testing::DhtFromLengths(testing::RandomLengths(rng, symbols, 16));
        const auto results = BuildOnAllColumns(dht, static_cast<size_t>(trial % 16));
        ASSERT_TRUE(testing::ColumnsAgree<kInit>(results)) << trial;
        ASSERT_EQ(results[0].status, kKernelOk) << trial;
    }
}

}  // namespace
}  // namespace jpegkernels
