// Rows 21 and 22 on every column: first rows and predictors 1 to 7 over
// 16-bit samples, in place and apart, at every alignment.
#include <gtest/gtest.h>

#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"

namespace jpegkernels {
namespace {

using testing::ColumnResult;
using testing::GuardedArray;

constexpr KernelRow kFirst = KernelRow::LosslessReconstructFirstRow;
constexpr KernelRow kRow = KernelRow::LosslessReconstructRow;

// The standard's predictions from samples taken as unsigned values.
uint16_t Model(int predictor, int32_t ra, int32_t rb, int32_t rc) {
    int32_t p = 0;
    switch (predictor) {
        case 1: p = ra; break;
        case 2: p = rb; break;
        case 3: p = rc; break;
        case 4: p = ra + rb - rc; break;
        case 5: p = ra + ((rb - rc) >> 1); break;
        case 6: p = rb + ((ra - rc) >> 1); break;
        default: p = (ra + rb) >> 1; break;
    }
    return static_cast<uint16_t>(p);
}

std::vector<uint16_t> ModelRow(const std::vector<uint16_t>& d, const std::vector<uint16_t>& prev, int predictor) {
    std::vector<uint16_t> out(d.size());
    out[0] = static_cast<uint16_t>(d[0] + prev[0]);
    for (size_t x = 1; x < d.size(); ++x) out[x] = static_cast<uint16_t>(d[x] + Model(predictor, out[x - 1], prev[x], prev[x - 1]));
    return out;
}

// Row 22 on every column; inPlace makes the output the difference row.
std::array<ColumnResult, kProcessorColumns> RunRow(const std::vector<uint16_t>& d, const std::vector<uint16_t>& prev,
                                                   int32_t predictor, bool inPlace, size_t offset) {
    return testing::RunAllColumns<kRow>([&](KernelRowFunction<kRow> entry, int) {
        GuardedArray<uint16_t> diff(d.size(), offset), above(prev.size(), (offset + 5) % 8), out(d.size(), (offset + 3) % 8);
        diff.Assign(d.data());
        above.Assign(prev.data());
        GuardedArray<uint16_t>& target = inPlace ? diff : out;
        ColumnResult r;
        r.status = entry(diff.data(), above.data(), target.data(), static_cast<int32_t>(d.size()), predictor);
        r.output = target.Bytes();
        r.guardsIntact = diff.GuardsIntact() && above.GuardsIntact() && out.GuardsIntact() && above.Values() == prev &&
                         (inPlace || diff.Values() == d);
        return r;
    });
}

std::vector<uint16_t> AsWords(const std::vector<uint8_t>& bytes) {
    std::vector<uint16_t> w(bytes.size() / 2);
    std::memcpy(w.data(), bytes.data(), bytes.size());
    return w;
}

TEST(Row21, FirstRows) {
    struct Case {
        int32_t precision, pointTransform;
        std::vector<uint16_t> differences, samples;
    };
    const Case cases[] = {
        {8, 0, {5, 1, 0xFFFF}, {133, 134, 133}},
        {16, 0, {0, 0, 0, 0}, {32768, 32768, 32768, 32768}},
        {8, 2, {3}, {35}},
        {12, 2, {0, 7}, {512, 519}},
        {16, 0, {32767, 1, 0x8000}, {65535, 0, 0x8000}},
        {2, 0, {1, 1}, {3, 4}},
        // Pt not below P: the shift count is taken modulo 32.
        {8, 8, {10}, {10}},
        {8, 23, {10}, {10}},
        {8, 24, {10}, {10 + 0x8000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "P " << c.precision << " Pt " << c.pointTransform);
        const int32_t n = static_cast<int32_t>(c.differences.size());
        for (bool inPlace : {false, true}) {
            const auto results = testing::RunAllColumns<kFirst>([&](KernelRowFunction<kFirst> entry, int) {
                GuardedArray<uint16_t> diff(c.differences.size(), 1), out(c.differences.size(), 2);
                diff.Assign(c.differences.data());
                GuardedArray<uint16_t>& target = inPlace ? diff : out;
                ColumnResult r;
                r.status = entry(diff.data(), target.data(), n, c.precision, c.pointTransform);
                r.output = target.Bytes();
                r.guardsIntact = diff.GuardsIntact() && out.GuardsIntact();
                return r;
            });
            ASSERT_TRUE(testing::ColumnsAgree<kFirst>(results));
            EXPECT_EQ(results[0].status, kKernelOk);
            EXPECT_EQ(AsWords(results[0].output), c.samples);
        }
    }
}

TEST(Row22, PredictionsOfTheStandard) {
    struct Case {
        int predictor;
        uint16_t ra, rb, rc, difference, sample;
    };
    const Case cases[] = {
        {7, 40000, 0, 0, 0, 20000},    {7, 40000, 100, 0, 0, 20050}, {5, 0, 1, 4, 5, 3},
        {6, 40000, 50000, 10000, 0, 65000}, {4, 60000, 60000, 1000, 0, static_cast<uint16_t>(119000)},
        {5, 65535, 65535, 0, 1, static_cast<uint16_t>(65535 + 32767 + 1)}, {3, 0, 7, 9, 1, 10}, {2, 0, 7, 9, 1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "predictor " << c.predictor << " Ra " << c.ra << " Rb " << c.rb);
        // Column 0 makes Ra: out[0] = d[0] + prev[0] with prev[0] = Rc.
        const std::vector<uint16_t> prev = {c.rc, c.rb};
        const std::vector<uint16_t> d = {static_cast<uint16_t>(c.ra - c.rc), c.difference};
        const auto results = RunRow(d, prev, c.predictor, false, 0);
        ASSERT_TRUE(testing::ColumnsAgree<kRow>(results));
        EXPECT_EQ(AsWords(results[0].output), (std::vector<uint16_t>{c.ra, c.sample}));
    }
}

TEST(Row22, OneColumnAndArgumentChecks) {
    for (int predictor = 1; predictor <= 7; ++predictor) {
        const auto results = RunRow({10}, {65530}, predictor, false, 0);
        ASSERT_TRUE(testing::ColumnsAgree<kRow>(results));
        EXPECT_EQ(AsWords(results[0].output), std::vector<uint16_t>{4});
    }
    uint16_t a[2] = {1, 2}, b[2] = {3, 4}, c[2] = {5, 6};
    for (int k = 0; k < kProcessorColumns; ++k) {
        const auto row = kKernelDispatchTable.Row<kRow>()[k];
        EXPECT_EQ(row(nullptr, b, c, 2, 1), kKernelNullPointer);
        EXPECT_EQ(row(a, nullptr, c, 2, 1), kKernelNullPointer);
        EXPECT_EQ(row(a, b, nullptr, 2, 1), kKernelNullPointer);
        EXPECT_EQ(row(a, b, c, 0, 1), kKernelSizeBelowOne);
        EXPECT_EQ(row(a, b, c, 2, 0), kKernelOutOfRange);
        EXPECT_EQ(row(a, b, c, 2, 8), kKernelOutOfRange);
        const auto first = kKernelDispatchTable.Row<kFirst>()[k];
        EXPECT_EQ(first(nullptr, c, 2, 8, 0), kKernelNullPointer);
        EXPECT_EQ(first(a, nullptr, 2, 8, 0), kKernelNullPointer);
        EXPECT_EQ(first(a, c, 0, 8, 0), kKernelSizeBelowOne);
        EXPECT_EQ(first(a, c, 2, 1, 0), kKernelOutOfRange);
        EXPECT_EQ(first(a, c, 2, 17, 0), kKernelOutOfRange);
        EXPECT_EQ(first(a, c, 2, 8, -1), kKernelOutOfRange);
        EXPECT_EQ(c[0], 5);
        EXPECT_EQ(c[1], 6);
    }
}

// Random rows of every width up to 70 (the processor builds switch to
// eight lanes above 6 columns), at every alignment, in place and apart.
TEST(Row22, RandomRowsMatchTheStandardOnEveryColumn) {
    std::mt19937 rng(17);
    for (int trial = 0; trial < 700; ++trial) {
        const size_t n = 1 + rng() % 70;
        const int predictor = 1 + trial % 7;
        std::vector<uint16_t> d(n), prev(n);
        const bool small = trial % 3 == 0;
        for (size_t i = 0; i < n; ++i) {
            d[i] = static_cast<uint16_t>(small ? rng() % 9 - 4 : rng());
            prev[i] = static_cast<uint16_t>(small ? 32760 + rng() % 16 : rng());
        }
        const bool inPlace = trial % 2 == 0;
        const auto results = RunRow(d, prev, predictor, inPlace, static_cast<size_t>(trial) % 8);
        ASSERT_TRUE(testing::ColumnsAgree<kRow>(results)) << trial;
        ASSERT_EQ(AsWords(results[0].output), ModelRow(d, prev, predictor)) << trial;
    }
}

}  // namespace
}  // namespace jpegkernels
