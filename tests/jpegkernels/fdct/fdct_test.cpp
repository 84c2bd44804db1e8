// Rows 7 and 12: the forward DCT against the exact transform, the columns
// across each other, every quantiser build against the rounding rule, and
// the reciprocal table of every quantiser.
#include "jpegkernels/fdct/fdct_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::ColumnResult;
using testing::GuardedArray;
using Block = std::array<int16_t, 64>;

constexpr KernelRow kRow7 = KernelRow::ForwardDctQuant8x8;

// F(v, u) = 1/4 C(u) C(v) sum f(y, x) cos((2x+1)u pi/16) cos((2y+1)v pi/16).
std::array<double, 64> ExactDct(const Block& f) {
    std::array<double, 64> out{};
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double s = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) s += f[8 * y + x] * std::cos((2 * x + 1) * u * M_PI / 16) * std::cos((2 * y + 1) * v * M_PI / 16);
            }
            out[8 * v + u] = 0.25 * (u == 0 ? M_SQRT1_2 : 1) * (v == 0 ? M_SQRT1_2 : 1) * s;
        }
    }
    return out;
}

// Reciprocals by row 12 of the generic column.
std::array<uint16_t, 64> Reciprocals(const std::array<uint8_t, 64>& zigzag) {
    std::array<uint16_t, 64> r;
    EXPECT_GE(QuantTableInit(zigzag.data(), r.data()), 0);
    return r;
}

Block RandomSamples(std::mt19937& rng, int low, int high) {
    Block b;
    const int kind = static_cast<int>(rng() % 4);
    for (int i = 0; i < 64; ++i) {
        int v = low + static_cast<int>(rng() % static_cast<uint32_t>(high - low + 1));
        if (kind == 1) v = (i / 8 + i % 8) % 2 ? high : low;  // a checkerboard of the extremes
        if (kind == 2) v = std::clamp(static_cast<int>(60 * std::sin(0.4 * (i % 8) + 0.3 * (i / 8))) + v / 8, low, high);
        b[static_cast<size_t>(i)] = static_cast<int16_t>(v);
    }
    return b;
}

Block RunRow7(int column, Block block, const uint16_t* reciprocals) {
    EXPECT_EQ(kKernelDispatchTable.Row<kRow7>()[column](block.data(), reciprocals), kKernelOk);
    return block;
}

TEST(Row7, EveryColumnIsWithinOneOfTheExactTransform) {
    std::array<uint8_t, 64> ones;
    ones.fill(1);
    const auto unit = Reciprocals(ones);
    for (uint16_t r : unit) ASSERT_EQ(r, 32768);
    std::mt19937 rng(3);
    double worst[kProcessorColumns] = {};
    for (int trial = 0; trial < 3000; ++trial) {
        const Block samples = RandomSamples(rng, -128, 127);
        const auto exact = ExactDct(samples);
        for (int k = 0; k < kProcessorColumns; ++k) {
            const Block out = RunRow7(k, samples, unit.data());
            for (int i = 0; i < 64; ++i) worst[k] = std::max(worst[k], std::abs(out[static_cast<size_t>(i)] - exact[static_cast<size_t>(i)]));
        }
    }
    // Within 1 as promised; these blocks stay within 0.7 (0.57 generic, 0.64
    // processor columns).
    for (int k = 0; k < kProcessorColumns; ++k) EXPECT_LE(worst[k], 0.7) << "column " << k;
    // Constant blocks: DC 8a and no AC, over -128..127 in every column and
    // -255..255 in the processor columns.
    for (int a = -255; a <= 255; ++a) {
        Block flat;
        flat.fill(static_cast<int16_t>(a));
        for (int k = (a < -128 || a > 127) ? 1 : 0; k < kProcessorColumns; ++k) {
            Block expected{};
            expected[0] = static_cast<int16_t>(8 * a);
            ASSERT_EQ(RunRow7(k, flat, unit.data()), expected) << "value " << a << " column " << k;
        }
    }
    // One sample of 127 at the top left.
    Block impulse{};
    impulse[0] = 127;
    const int16_t row0[8] = {16, 22, 21, 19, 16, 12, 9, 4}, row1[8] = {22, 31, 29, 26, 22, 17, 12, 6};
    for (int k = 1; k < kProcessorColumns; ++k) {
        const Block out = RunRow7(k, impulse, unit.data());
        EXPECT_TRUE(std::equal(row0, row0 + 8, out.begin()) && std::equal(row1, row1 + 8, out.begin() + 8)) << k;
    }
}

// Random blocks (-255..255) and quantisers at every pointer offset: the
// processor columns agree bit for bit, nothing outside the block is written.
TEST(Row7, ColumnsAgreeAtEveryOffset) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 320; ++trial) {
        const size_t offset = static_cast<size_t>(trial % 16);
        const Block samples = RandomSamples(rng, -255, 255);
        std::array<uint8_t, 64> q;
        for (uint8_t& v : q) v = static_cast<uint8_t>(1 + rng() % (trial % 3 ? 255 : 8));
        const auto reciprocals = Reciprocals(q);
        const auto results = testing::RunAllColumns<kRow7>([&](KernelRowFunction<kRow7> entry, int) {
            GuardedArray<int16_t> block(64, offset);
            GuardedArray<uint16_t> table(64, (offset * 7) % 16);
            block.Assign(samples.data());
            table.Assign(reciprocals.data());
            ColumnResult r;
            r.status = entry(block.data(), table.data());
            r.output = block.Bytes();
            r.guardsIntact = block.GuardsIntact() && table.GuardsIntact();
            return r;
        });
        ASSERT_TRUE(testing::ColumnsAgree<kRow7>(results)) << trial;
    }
}

// table x value / 2^scale, ties to even, saturated.
int16_t QuantiseModel(uint16_t t, int16_t v, int scale) {
    const int64_t p = static_cast<int64_t>(t) * v, unit = int64_t{1} << scale;
    int64_t q = p >> scale;
    const int64_t twice = 2 * (p - q * unit);
    q += twice > unit || (twice == unit && (q & 1));
    return static_cast<int16_t>(std::clamp<int64_t>(q, -32768, 32767));
}

using Quantiser = void (*)(const uint16_t*, const int16_t*, int16_t*, int32_t, int32_t);
void Generic(const uint16_t* t, const int16_t* s, int16_t* d, int32_t n, int32_t scale) { MultiplyScaled16(t, s, d, n, scale); }
constexpr Quantiser kQuantisers[] = {Generic, MultiplyScaled16_Mmx, MultiplyScaled16_Sse2, MultiplyScaled16_Sse3,
                                     MultiplyScaled16_Ssse3, MultiplyScaled16_Sse41};

TEST(Quantisers, RoundToNearestEvenAndSaturateInEveryBuild) {
    // (multiplier, value, result) at scale 15.
    const std::array<int32_t, 3> table[] = {{1, 16384, 0},      {3, 16384, 2},     {5, 16384, 2},       {1, -16384, 0},
                                            {3, -16384, -2},    {0, 9999, 0},      {0xFFFF, 1, 2},      {0xFFFF, 16384, 32767},
                                            {65535, 32767, 32767}, {65535, -32768, -32768}, {32768, -32768, -32768},
                                            {32768, 1234, 1234}, {32768, -7, -7}};
    std::mt19937 rng(11);
    for (int b = 0; b < 6; ++b) {
        SCOPED_TRACE(b);
        for (const auto& c : table) {
            // The case in every position of a 40-value run, so that heads,
            // lanes and tails all meet it.
            for (size_t at = 0; at < 40; at += 13) {
                std::vector<uint16_t> t(40, 32768);
                std::vector<int16_t> s(40, 0), d(40);
                t[at] = static_cast<uint16_t>(c[0]);
                s[at] = static_cast<int16_t>(c[1]);
                kQuantisers[b](t.data(), s.data(), d.data(), 40, 15);
                EXPECT_EQ(d[at], c[2]) << c[0] << " x " << c[1];
            }
        }
        // Random runs: scales 2..31, counts 1..70, destinations at every
        // byte offset (odd ones included), in place or apart.
        for (int trial = 0; trial < 400; ++trial) {
            const int32_t n = 1 + static_cast<int32_t>(rng() % 70), scale = 2 + static_cast<int32_t>(rng() % 30);
            const size_t shift = rng() % 16;
            std::vector<uint8_t> bytes(2 * static_cast<size_t>(n) + 16);
            std::vector<uint16_t> t(static_cast<size_t>(n));
            std::vector<int16_t> s(static_cast<size_t>(n));
            for (int32_t i = 0; i < n; ++i) {
                t[static_cast<size_t>(i)] = static_cast<uint16_t>(rng());
                s[static_cast<size_t>(i)] = static_cast<int16_t>(rng());
            }
            int16_t* d = reinterpret_cast<int16_t*>(bytes.data() + shift);
            const bool inPlace = trial % 2 && shift % 2 == 0;
            if (inPlace) std::memcpy(d, s.data(), 2 * static_cast<size_t>(n));
            kQuantisers[b](t.data(), inPlace ? d : s.data(), d, n, scale);
            for (int32_t i = 0; i < n; ++i) {
                int16_t got;
                std::memcpy(&got, bytes.data() + shift + 2 * static_cast<size_t>(i), 2);
                ASSERT_EQ(got, QuantiseModel(t[static_cast<size_t>(i)], s[static_cast<size_t>(i)], scale)) << "scale " << scale;
            }
        }
    }
}

TEST(Quantisers, GenericSpecialScales) {
    const uint16_t t[4] = {3, 0, 65535, 2};
    const int16_t s[4] = {-7, 5, 300, -32768};
    int16_t d[4];
    const std::pair<int32_t, std::array<int16_t, 4>> cases[] = {
        {0, {-21, 0, 32767, -32768}},   {1, {-10, 0, 32767, -32768}},
        {-1, {-42, 0, 32767, -32768}},  {-14, {-32768, 0, 32767, -32768}},
        {-15, {-32768, 0, 32767, -32768}}, {32, {0, 0, 0, 0}}};
    for (const auto& [scale, expected] : cases) {
        EXPECT_EQ(MultiplyScaled16(t, s, d, 4, scale), kKernelOk) << scale;
        EXPECT_TRUE(std::equal(d, d + 4, expected.begin())) << scale;
    }
    EXPECT_EQ(MultiplyScaled16(t, s, d, 0, 15), kKernelSizeBelowOne);
    EXPECT_EQ(MultiplyScaled16(nullptr, s, d, 4, 15), kKernelNullPointer);
}

// Row 12 over every quantiser 0..255 in every column: round(32768 / Q) at
// the natural index of its zig-zag position, 0xFFFF and status 6 for 0.
TEST(Row12, EveryQuantiserInEveryColumn) {
    for (int k = 0; k < kProcessorColumns; ++k) {
        for (int first = 0; first < 256; first += 64) {
            std::array<uint8_t, 64> zigzag;
            for (int i = 0; i < 64; ++i) zigzag[static_cast<size_t>(i)] = static_cast<uint8_t>(first + (i * 37) % 64);
            uint16_t out[64];
            const KernelStatus s = kKernelDispatchTable.Row<KernelRow::QuantTableInit>()[k](zigzag.data(), out);
            EXPECT_EQ(s, first == 0 ? kKernelZeroQuantiser : kKernelOk);
            for (int p = 0; p < 64; ++p) {
                const uint32_t q = zigzag[static_cast<size_t>(p)];
                const uint32_t expected = q == 0 ? 0xFFFF : (2 * 32768 + q) / (2 * q);  // no ties for q <= 255
                ASSERT_EQ(out[testing::kZigzag[p]], expected) << "column " << k << " quantiser " << q;
            }
        }
    }
    uint16_t out[64];
    EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::QuantTableInit>()[3](nullptr, out), kKernelNullPointer);
}

// The row-12 steps beyond the row's own arguments: strides, checks, the
// value-0 and value-above-32767 cases of the division.
TEST(Row12Steps, WideningAndDivision) {
    using Widen = KernelStatus (*)(const uint8_t*, int32_t, uint16_t*, int32_t, int32_t, int32_t);
    const Widen widen[] = {ConvertU8ToU16, ConvertU8ToU16_Mmx, ConvertU8ToU16_Sse2, ConvertU8ToU16_Sse3,
                           ConvertU8ToU16_Ssse3, ConvertU8ToU16_Sse41};
    using Divide = KernelStatus (*)(const uint16_t*, uint16_t, uint16_t*, int32_t);
    const Divide divide[] = {DivideValueBy16, DivideValueBy16_Mmx, DivideValueBy16_Sse2, DivideValueBy16_Sse3,
                             DivideValueBy16_Ssse3, DivideValueBy16_Sse41};
    std::vector<uint8_t> source(100 * 40);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 31 + 7);
    for (int b = 0; b < 6; ++b) {
        SCOPED_TRACE(b);
        // A 37 x 9 rectangle with gaps on both sides, destination off by one
        // value, and a contiguous run of 700 values.
        std::vector<uint16_t> out(100 * 40, 0xAAAA);
        ASSERT_EQ(widen[b](source.data() + 3, 100, out.data() + 1, 90, 37, 9), kKernelOk);
        for (size_t y = 0; y < 9; ++y) {
            for (size_t x = 0; x < 37; ++x) ASSERT_EQ(out[1 + y * 45 + x], source[3 + y * 100 + x]);
        }
        EXPECT_EQ(out[1 + 37], 0xAAAA);
        ASSERT_EQ(widen[b](source.data(), 70, out.data() + 3, 140, 70, 10), kKernelOk);
        for (size_t i = 0; i < 700; ++i) ASSERT_EQ(out[3 + i], source[i]);
        EXPECT_EQ(widen[b](source.data(), 0, out.data(), 16, 8, 8), kKernelRowStepBelowOne);
        EXPECT_EQ(widen[b](source.data(), 8, out.data(), 16, 0, 8), kKernelSizeBelowOne);
        EXPECT_EQ(widen[b](nullptr, 8, out.data(), 16, 8, 8), kKernelNullPointer);
        // Value 0 zeroes the destination, 6 when a divisor is 0.
        uint16_t divisors[20], quotients[20];
        for (int i = 0; i < 20; ++i) divisors[i] = static_cast<uint16_t>(i + 1);
        EXPECT_EQ(divide[b](divisors, 0, quotients, 20), kKernelOk);
        EXPECT_TRUE(std::all_of(quotients, quotients + 20, [](uint16_t q) { return q == 0; }));
        divisors[13] = 0;
        EXPECT_EQ(divide[b](divisors, 0, quotients, 20), kKernelZeroQuantiser);
        // A value above 32767 stays itself for a divisor of 1.
        divisors[13] = 1;
        EXPECT_EQ(divide[b](divisors, 40000, quotients, 20), kKernelOk);
        EXPECT_EQ(quotients[0], 40000);
        EXPECT_EQ(quotients[13], 40000);
        EXPECT_EQ(quotients[3], 10000);
        EXPECT_EQ(divide[b](divisors, 5, quotients, 0), kKernelSizeBelowOne);
    }
}

}  // namespace
}  // namespace jpegkernels
