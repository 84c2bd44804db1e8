// Rows 23 to 27: differences against the predictor rules and inverted by
// the reconstruction rows, coding against the tests' Huffman encoder, and
// every column against the others at every offset and capacity.
#include <gtest/gtest.h>

#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::ColumnResult;
using testing::GuardedArray;

// Sample minus prediction, the neighbours as unsigned samples.
uint16_t ModelDifference(const std::vector<uint16_t>& s, const std::vector<uint16_t>& above, size_t x, int predictor) {
    if (x == 0) return static_cast<uint16_t>(s[0] - above[0]);
    const int32_t ra = s[x - 1], rb = above[x], rc = above[x - 1];
    const int32_t p[8] = {0, ra, rb, rc, ra + rb - rc, ra + ((rb - rc) >> 1), rb + ((ra - rc) >> 1), (ra + rb) >> 1};
    return static_cast<uint16_t>(s[x] - static_cast<uint32_t>(p[predictor]));
}

std::vector<uint16_t> RandomSamples(std::mt19937& rng, size_t n) {
    std::vector<uint16_t> s(n);
    const int kind = static_cast<int>(rng() % 3);
    for (size_t i = 0; i < n; ++i) {
        s[i] = kind == 0 ? static_cast<uint16_t>(rng())
                         : static_cast<uint16_t>((kind == 1 ? 32768 : 0) + static_cast<int>(rng() % 64) - 32 + (rng() % 9 == 0 ? 30000 : 0));
    }
    return s;
}

// Rows 24 and 25 at every offset (predictor 0 standing for row 24): the
// model's differences in every column, and the reconstruction rows 21 and 22
// of the same column give the samples back.
TEST(DifferenceRows, ModelAndInverseInEveryColumn) {
    std::mt19937 rng(31);
    for (int trial = 0; trial < 800; ++trial) {
        const int predictor = trial % 8;
        const size_t n = 1 + rng() % 50, offset = rng() % 16;
        const int precision = 2 + static_cast<int>(rng() % 15), pt = static_cast<int>(rng() % 3);
        const auto samples = RandomSamples(rng, n), above = RandomSamples(rng, n);
        std::vector<uint16_t> expected(n);
        for (size_t x = 0; x < n; ++x) {
            expected[x] = predictor == 0 ? static_cast<uint16_t>(samples[x] - (x == 0 ? (1u << ((precision - pt - 1) & 31)) & 0xFFFF : samples[x - 1]))
                                         : ModelDifference(samples, above, x, predictor);
        }
        std::array<ColumnResult, kProcessorColumns> results;
        for (int k = 0; k < kProcessorColumns; ++k) {
            GuardedArray<uint16_t> s(n, (offset + 3) % 16), a(n, (offset + 9) % 16), d(n, offset), back(n, 0);
            s.Assign(samples.data());
            a.Assign(above.data());
            const int32_t count = static_cast<int32_t>(n);
            ColumnResult& r = results[static_cast<size_t>(k)];
            if (predictor == 0) {
                r.status = kKernelDispatchTable.Row<KernelRow::LosslessDiffFirstRow>()[k](s.data(), d.data(), count, precision, pt);
                ASSERT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessReconstructFirstRow>()[k](d.data(), back.data(), count, precision, pt), kKernelOk);
            } else {
                r.status = kKernelDispatchTable.Row<KernelRow::LosslessDiffRow>()[k](s.data(), a.data(), d.data(), count, predictor);
                ASSERT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessReconstructRow>()[k](d.data(), a.data(), back.data(), count, predictor), kKernelOk);
            }
            ASSERT_EQ(r.status, kKernelOk);
            ASSERT_EQ(d.Values(), expected) << "column " << k << " predictor " << predictor;
            ASSERT_EQ(back.Values(), samples) << "column " << k;
            r.output = d.Bytes();
            r.guardsIntact = s.GuardsIntact() && a.GuardsIntact() && d.GuardsIntact();
        }
        ASSERT_TRUE(testing::ColumnsAgree<KernelRow::LosslessDiffRow>(results));
    }
    // The first prediction of P = 8: 128; predictors 0 and 8 write nothing.
    for (int k = 0; k < kProcessorColumns; ++k) {
        const uint16_t s[2] = {128, 0};
        uint16_t d[2] = {7, 7};
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessDiffFirstRow>()[k](s, d, 1, 8, 0), kKernelOk);
        EXPECT_EQ(d[0], 0);
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessDiffFirstRow>()[k](s + 1, d, 1, 8, 0), kKernelOk);
        EXPECT_EQ(d[0], 0xFF80);
        for (int bad : {0, 8}) EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessDiffRow>()[k](s, s, d, 2, bad), kKernelOutOfRange);
        EXPECT_EQ(d[1], 7);
    }
}

struct Coding {
    std::vector<testing::DhtTable> dht;
    std::vector<HuffmanEncoderTable> tables;
    std::vector<std::vector<int16_t>> rows;
};

Coding RandomCoding(std::mt19937& rng, int components, int columns) {
    Coding c;
    for (int i = 0; i < std::min(components, 4); ++i) {
        c.dht.push_back(testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, 16), 1 + static_cast<int>(rng() % 16))));
        std::vector<uint8_t> huffval = c.dht.back().huffval;
        huffval.resize(256);
        c.tables.emplace_back();
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanEncoderTableInit>()[0](c.dht.back().bits.data(), huffval.data(), &c.tables.back()), kKernelOk);
    }
    for (int i = 0; i < components; ++i) {
        std::vector<int16_t> row(static_cast<size_t>(columns));
        for (int16_t& d : row) {
            const int magnitude = 1 << (rng() % 16);
            d = static_cast<int16_t>(rng() % 7 == 0 ? (rng() % 2 ? -32768 : 32767) : static_cast<int>(rng() % static_cast<uint32_t>(magnitude)) - magnitude / 2);
        }
        c.rows.push_back(row);
    }
    return c;
}

// Both coding rows of one column over the rows, then a flush: row 23 a row
// at a time or row 26 a difference at a time.
struct Coded {
    KernelStatus status = 0;
    std::vector<uint8_t> bytes;
    bool guardsIntact = true;
};

Coded Code(const Coding& c, int column, bool oneAtATime, int32_t capacity, size_t offset) {
    GuardedArray<uint8_t> buffer(static_cast<size_t>(capacity), offset);
    HuffmanEncoderState state{};
    uint32_t position = 0;
    std::vector<const int16_t*> rows;
    std::vector<const HuffmanEncoderTable*> tables;
    for (const auto& r : c.rows) rows.push_back(r.data());
    for (const auto& t : c.tables) tables.push_back(&t);
    const auto row23 = kKernelDispatchTable.Row<KernelRow::LosslessEncodeRow>()[column];
    const auto row26 = kKernelDispatchTable.Row<KernelRow::LosslessEncodeOneDiff>()[column];
    const int32_t columns = static_cast<int32_t>(c.rows[0].size()), components = static_cast<int32_t>(c.rows.size());
    Coded out;
    if (!oneAtATime) {
        out.status = row23(rows.data(), columns, components, buffer.data(), capacity, &position, tables.data(), &state, 0);
    }
    for (int32_t x = 0; oneAtATime && x < columns && out.status == kKernelOk; ++x) {
        for (size_t i = 0; i < tables.size() && out.status == kKernelOk; ++i) {
            out.status = row26(rows[i] + x, buffer.data(), capacity, &position, tables[i], &state, 0);
        }
    }
    if (out.status == kKernelOk) {
        out.status = oneAtATime ? row26(nullptr, buffer.data(), capacity, &position, nullptr, &state, 1)
                                : row23(nullptr, 0, 0, buffer.data(), capacity, &position, nullptr, &state, 1);
    }
    out.bytes.assign(buffer.data(), buffer.data() + position);
    out.guardsIntact = buffer.GuardsIntact();
    return out;
}

TEST(CodingRows, EveryColumnWritesTheTestEncodersBytes) {
    std::mt19937 rng(32);
    for (int trial = 0; trial < 120; ++trial) {
        const int components = 1 + trial % 5, columns = 1 + static_cast<int>(rng() % 60);
        const Coding c = RandomCoding(rng, components, columns);
        testing::BitWriter w;
        for (int x = 0; x < columns; ++x) {
            for (size_t i = 0; i < c.tables.size(); ++i) {
                testing::EncodeDifference(w, static_cast<uint16_t>(c.rows[i][static_cast<size_t>(x)]), testing::MakeCodes(c.dht[i]));
            }
        }
        w.Flush();
        for (int k = 0; k < kProcessorColumns; ++k) {
            for (bool one : {false, true}) {
                const Coded out = Code(c, k, one, static_cast<int32_t>(w.bytes.size() + rng() % 20), rng() % 16);
                ASSERT_EQ(out.status, kKernelOk);
                ASSERT_EQ(out.bytes, w.bytes) << "column " << k << (one ? " row 26" : " row 23") << " trial " << trial;
                ASSERT_TRUE(out.guardsIntact);
            }
        }
    }
}

// Every capacity, and a category without a code: the same status in every
// column; full bytes written agree with the expected stream, nothing is
// stored at or past the capacity.
TEST(CodingRows, ColumnsAgreeOnEveryCapacityAndMissingCode) {
    std::mt19937 rng(33);
    for (int trial = 0; trial < 6; ++trial) {
        Coding c = RandomCoding(rng, 1 + trial % 4, 40);
        if (trial >= 4) {
            // No code for a category, or a length above 16 from a caller-made table.
            for (auto& t : c.tables) t.entries[testing::Category(c.rows[0][25])] = trial == 4 ? 0 : 17u << 16 | 1;
        }
        const Coded whole = Code(c, 0, false, 1 << 16, 0);
        for (bool one : {false, true}) {
            for (int32_t capacity = 1; capacity <= static_cast<int32_t>(whole.bytes.size()) + 2; ++capacity) {
                const Coded generic = Code(c, 0, one, capacity, 0);
                for (int k = 1; k < kProcessorColumns; ++k) {
                    const Coded out = Code(c, k, one, capacity, static_cast<size_t>(capacity % 16));
                    ASSERT_EQ(out.status, generic.status) << "column " << k << " capacity " << capacity;
                    ASSERT_TRUE(out.guardsIntact) << "column " << k << " capacity " << capacity;
                    if (out.status == kKernelOk) {
                        ASSERT_EQ(out.bytes, generic.bytes);
                    }
                }
                ASSERT_TRUE(std::equal(generic.bytes.begin(), generic.bytes.end(), whole.bytes.begin()));
            }
        }
        EXPECT_EQ(whole.status, trial >= 4 ? kKernelTooManyCodes : kKernelOk);
    }
}

TEST(Row27, CountsCategories) {
    for (int k = 0; k < kProcessorColumns; ++k) {
        uint32_t counts[17] = {};
        for (int16_t d : {0, 1, -1, 255, -256, 32767, -32768, -32768}) {
            EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessGatherStatistics>()[k](&d, counts), kKernelOk);
        }
        const uint32_t expected[17] = {1, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1, 2};
        EXPECT_TRUE(std::equal(counts, counts + 17, expected)) << k;
        EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::LosslessGatherStatistics>()[k](nullptr, counts), kKernelNullPointer);
    }
}

}  // namespace
}  // namespace jpegkernels
