#include "jpegkernels/idct/idct_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/idct/idct_models.h"

namespace jpegkernels {
namespace {

using testing::Block;
using testing::ColumnResult;
using testing::GuardedArray;

constexpr KernelRow kRow = KernelRow::DequantInverseDct8x8;

Block Ones() {
    Block t;
    t.fill(1);
    return t;
}

Block Single(int index, int16_t value) {
    Block b{};
    b[index] = value;
    return b;
}

Block RunEntry(int column, const Block& coefficients, const Block& table) {
    Block out;
    EXPECT_EQ(kKernelDispatchTable.Row<kRow>()[column](coefficients.data(), out.data(), table.data()), kKernelOk);
    return out;
}

// --- Generic build ---------------------------------------------------------

TEST(GenericIdct, DcOnlyBlocksRoundHalfUp) {
    const std::pair<int16_t, int16_t> cases[] = {{100, 13},   {-100, -12}, {4, 1},     {-4, 0},
                                                 {12, 2},     {-12, -1},   {1016, 127}, {-1024, -128},
                                                 {4096, -512}, {-4097, 512}, {32767, 0}, {0, 0}};
    for (auto [dc, expected] : cases) {
        const Block out = RunEntry(0, Single(0, dc), Ones());
        for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], expected) << "DC " << dc << " sample " << i;
    }
    for (int d = -4096; d <= 4095; ++d) {
        const Block out = RunEntry(0, Single(0, static_cast<int16_t>(d)), Ones());
        const int expected = static_cast<int>(std::floor(d / 8.0 + 0.5));
        for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], expected) << "DC " << d;
    }
}

TEST(GenericIdct, SingleAcCoefficients) {
    const int16_t wave[8] = {17, 15, 10, 3, -3, -10, -15, -17};
    const Block horizontal = RunEntry(0, Single(1, 100), Ones());
    const Block vertical = RunEntry(0, Single(8, 100), Ones());
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(horizontal[8 * y + x], wave[x]);
            EXPECT_EQ(vertical[8 * y + x], wave[y]);
        }
    }
    const int16_t highest[8] = {1, -3, 4, -5, 5, -4, 3, -1};
    const Block corner = RunEntry(0, Single(63, 100), Ones());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(corner[i], highest[i]);
        EXPECT_EQ(corner[8 * i], highest[i]);
    }
    Block ramp = Single(0, 1016);
    ramp[1] = -50;
    const int16_t expected[8] = {118, 120, 122, 125, 129, 132, 134, 136};
    const Block out = RunEntry(0, ramp, Ones());
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) EXPECT_EQ(out[8 * y + x], expected[x]);
    }
}

TEST(GenericIdct, DequantisationSaturates) {
    const int16_t source[5] = {200, -200, -32768, 1234, 7};
    const int16_t table[5] = {200, 200, -1, 0, -3};
    int16_t out[6] = {0, 0, 0, 0, 0, 99};
    EXPECT_EQ(DequantBlock(source, table, out, 5), kKernelOk);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32768);
    EXPECT_EQ(out[2], 32767);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], -21);
    EXPECT_EQ(out[5], 99);
    EXPECT_EQ(DequantBlock(nullptr, table, out, 5), kKernelNullPointer);
    EXPECT_EQ(DequantBlock(source, nullptr, out, 5), kKernelNullPointer);
    EXPECT_EQ(DequantBlock(source, table, nullptr, 5), kKernelNullPointer);
    EXPECT_EQ(DequantBlock(source, table, out, 0), kKernelSizeBelowOne);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(InverseDct8x8(nullptr), kKernelNullPointer);
}

// --- Processor builds -------------------------------------------------------

TEST(ProcessorIdct, DcOnlyBlocksAndTheRowThreeAndFourQuirk) {
    for (int column = 1; column < kProcessorColumns; ++column) {
        for (int d = -4000; d <= 4000; ++d) {
            const Block out = RunEntry(column, Single(0, static_cast<int16_t>(d)), Ones());
            const int base = static_cast<int>(std::floor((d + 4) / 8.0));
            const bool quirk = ((d % 8) + 8) % 8 == 4;
            for (int i = 0; i < 64; ++i) {
                const int row = i / 8;
                const int expected = base - ((quirk && (row == 3 || row == 4)) ? 1 : 0);
                ASSERT_EQ(out[i], expected) << "column " << column << " DC " << d << " sample " << i;
            }
        }
        const std::pair<int16_t, int16_t> saturated[] = {{32767, 511}, {-32768, -512}, {4096, 511}, {-4097, -512}};
        for (auto [dc, expected] : saturated) {
            const Block out = RunEntry(column, Single(0, dc), Ones());
            for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], expected) << "column " << column << " DC " << dc;
        }
    }
}

TEST(ProcessorIdct, DequantisationWraps) {
    const int16_t coefficients[64] = {300, 7, 200, -32768, 5};
    int16_t table[64] = {200, -1 /* 65535 */, 200, -1, 0};
    int16_t out[64];
    DequantBlock_Mmx(coefficients, out, table);
    EXPECT_EQ(out[0], -5536);
    EXPECT_EQ(out[1], -7);
    EXPECT_EQ(out[2], -25536);
    EXPECT_EQ(out[3], -32768);
    EXPECT_EQ(out[4], 0);
    // In place.
    int16_t block[64] = {300, 7};
    DequantBlock_Mmx(block, block, table);
    EXPECT_EQ(block[0], -5536);
    EXPECT_EQ(block[1], -7);
}

TEST(Row13, SharedEdgeCases) {
    for (int column = 0; column < kProcessorColumns; ++column) {
        SCOPED_TRACE(column);
        const Block zeros = RunEntry(column, Block{}, Ones());
        for (int16_t v : zeros) ASSERT_EQ(v, 0);
        Block table{};
        table[0] = 8;
        const Block hundred = RunEntry(column, Single(0, 100), table);
        for (int16_t v : hundred) ASSERT_EQ(v, 100);
        table[0] = 200;
        const Block over = RunEntry(column, Single(0, 200), table);
        const Block expected = column == 0 ? RunEntry(0, Single(0, 32767), Ones()) : RunEntry(1, Single(0, -25536), Ones());
        EXPECT_EQ(over, expected);
        // Null pointers: -8 and nothing written.
        Block out;
        out.fill(77);
        const auto entry = kKernelDispatchTable.Row<kRow>()[column];
        EXPECT_EQ(entry(nullptr, out.data(), table.data()), kKernelNullPointer);
        EXPECT_EQ(entry(table.data(), nullptr, table.data()), kKernelNullPointer);
        EXPECT_EQ(entry(table.data(), out.data(), nullptr), kKernelNullPointer);
        for (int16_t v : out) ASSERT_EQ(v, 77);
    }
}

// The inverse DCT kernels of indexes 1 to 5 on their own: in place or into a
// separate block, at every alignment, identical to each other.
TEST(ProcessorIdct, KernelsAgreeInPlaceAndApartAtEveryAlignment) {
    void (*const kernels[])(const int16_t*, int16_t*) = {InverseDct8x8_Mmx, InverseDct8x8_Sse2, InverseDct8x8_Sse3,
                                                         InverseDct8x8_Ssse3, InverseDct8x8_Sse41};
    std::mt19937 rng(21);
    std::uniform_int_distribution<int> value(-2048, 2047);
    for (int trial = 0; trial < 40; ++trial) {
        Block input;
        for (int16_t& v : input) v = static_cast<int16_t>(trial < 20 ? value(rng) : static_cast<int16_t>(rng()));
        const Block expected = testing::ProcessorModel(input, Ones());
        for (auto kernel : kernels) {
            for (size_t inOffset = 0; inOffset < 16; ++inOffset) {
                for (size_t outOffset : {inOffset, (inOffset + 3) % 16}) {
                    GuardedArray<int16_t> in(64, inOffset), out(64, outOffset);
                    in.Assign(input.data());
                    kernel(in.data(), out.data());
                    ASSERT_EQ(out.Values(), std::vector<int16_t>(expected.begin(), expected.end()));
                    ASSERT_EQ(in.Values(), std::vector<int16_t>(input.begin(), input.end()));
                    ASSERT_TRUE(out.GuardsIntact());
                    kernel(in.data(), in.data());
                    ASSERT_EQ(in.Values(), std::vector<int16_t>(expected.begin(), expected.end()));
                    ASSERT_TRUE(in.GuardsIntact());
                }
            }
        }
    }
}

// --- Cross-column harness ----------------------------------------------------

// Runs all six columns of row 13 on one block and table, with the three
// pointers at the given element offsets from a 16-byte boundary.
std::array<ColumnResult, kProcessorColumns> RunRow13(const Block& coefficients, const Block& table, size_t co,
                                                     size_t oo, size_t to) {
    return testing::RunAllColumns<kRow>([&](KernelRowFunction<kRow> entry, int) {
        GuardedArray<int16_t> c(64, co), o(64, oo), t(64, to);
        c.Assign(coefficients.data());
        t.Assign(table.data());
        ColumnResult r;
        r.status = entry(c.data(), o.data(), t.data());
        r.output = o.Bytes();
        r.guardsIntact = o.GuardsIntact() && c.GuardsIntact() && t.GuardsIntact() &&
                         c.Values() == std::vector<int16_t>(coefficients.begin(), coefficients.end());
        return r;
    });
}

Block AsBlock(const std::vector<uint8_t>& bytes) {
    Block b;
    std::memcpy(b.data(), bytes.data(), sizeof b);
    return b;
}

// Coefficients and table of a real block: 8-bit samples, a double-precision
// forward DCT, quantised by a table of 1..255.
void RealisticBlock(std::mt19937& rng, Block& coefficients, Block& table) {
    double samples[64];
    const int smooth = static_cast<int>(rng() % 4);
    for (int i = 0; i < 64; ++i) {
        const double base = smooth ? 60.0 * std::sin(0.3 * (i % 8) * smooth + 0.2 * (i / 8)) : 0.0;
        samples[i] = std::clamp(base + static_cast<int>(rng() % 256) - 128.0 * (smooth ? 0.2 : 1.0), -128.0, 127.0);
    }
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double s = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    s += samples[8 * y + x] * std::cos((2 * x + 1) * u * M_PI / 16) * std::cos((2 * y + 1) * v * M_PI / 16);
                }
            }
            s *= 0.25 * (u == 0 ? M_SQRT1_2 : 1.0) * (v == 0 ? M_SQRT1_2 : 1.0);
            const int q = 1 + static_cast<int>(rng() % (rng() % 2 ? 16 : 255));
            table[8 * v + u] = static_cast<int16_t>(q);
            coefficients[8 * v + u] = static_cast<int16_t>(std::lround(s / q));
        }
    }
}

TEST(Row13Columns, RealisticBlocksAtEveryPointerOffset) {
    std::mt19937 rng(1);
    int differing = 0, samples = 0;
    for (int trial = 0; trial < 400; ++trial) {
        Block coefficients, table;
        RealisticBlock(rng, coefficients, table);
        const size_t o = static_cast<size_t>(trial % 16);
        const auto results = RunRow13(coefficients, table, o, (o * 7 + 3) % 16, (15 - o));
        ASSERT_TRUE(testing::ColumnsAgree<kRow>(results)) << "trial " << trial;
        const Block generic = AsBlock(results[0].output);
        const Block processor = AsBlock(results[1].output);
        EXPECT_EQ(generic, testing::GenericModel(coefficients, table)) << "trial " << trial;
        EXPECT_EQ(processor, testing::ProcessorModel(coefficients, table)) << "trial " << trial;
        for (int i = 0; i < 64; ++i) {
            ASSERT_LE(std::abs(generic[i] - processor[i]), 1) << "trial " << trial << " sample " << i;
            differing += generic[i] != processor[i];
            ++samples;
        }
    }
    // The two arithmetics differ by one on a small share of the samples.
    EXPECT_LT(differing, samples / 10);
}

TEST(Row13Columns, ExtremeBlocksMatchTheirModels) {
    std::mt19937 rng(2);
    for (int trial = 0; trial < 600; ++trial) {
        Block coefficients, table;
        for (int i = 0; i < 64; ++i) {
            coefficients[i] = static_cast<int16_t>(rng());
            table[i] = static_cast<int16_t>(trial % 3 == 0 ? rng() : rng() % 4);
        }
        const size_t o = static_cast<size_t>(trial % 16);
        const auto results = RunRow13(coefficients, table, (o * 5) % 16, o, (o * 3 + 1) % 16);
        ASSERT_TRUE(testing::ColumnsAgree<kRow>(results)) << "trial " << trial;
        ASSERT_EQ(AsBlock(results[0].output), testing::GenericModel(coefficients, table)) << "trial " << trial;
        const Block processor = AsBlock(results[1].output);
        ASSERT_EQ(processor, testing::ProcessorModel(coefficients, table)) << "trial " << trial;
        for (int16_t v : processor) ASSERT_TRUE(v >= -512 && v <= 511);
    }
}

// --- In place, and the decoder's companions -----------------------------------

// Row 13 in place (output = coefficients) gives what it gives apart, on
// every column; the companion of each column gives that column's samples
// widened to 32 bits, apart or over the storage the coefficients sit in (as
// the decoder's block record holds them), the patch companion the block
// writer's bytes of them, and both refuse null pointers.
TEST(Row13Companions, WidenedSamplesInPlaceAndApart) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        Block coefficients, table;
        if (trial % 2 == 0) {
            RealisticBlock(rng, coefficients, table);
        } else {
            for (int i = 0; i < 64; ++i) {
                coefficients[i] = static_cast<int16_t>(rng());
                table[i] = static_cast<int16_t>(trial % 3 == 0 ? rng() : rng() % 4);
            }
        }
        const size_t o = static_cast<size_t>(trial % 16);
        for (int column = 0; column < kProcessorColumns; ++column) {
            SCOPED_TRACE(::testing::Message() << "trial " << trial << " column " << column);
            const Block expected = RunEntry(column, coefficients, table);
            GuardedArray<int16_t> inPlace(64, o);
            inPlace.Assign(coefficients.data());
            const auto entry = kKernelDispatchTable.Row<kRow>()[column];
            ASSERT_EQ(entry(inPlace.data(), inPlace.data(), table.data()), kKernelOk);
            ASSERT_EQ(inPlace.Values(), std::vector<int16_t>(expected.begin(), expected.end()));
            const std::vector<int32_t> widened(expected.begin(), expected.end());
            // Apart: coefficients untouched, nothing written outside.
            GuardedArray<int16_t> c(64, o);
            GuardedArray<int32_t> out(64, (o * 3 + 1) % 16);
            c.Assign(coefficients.data());
            ASSERT_EQ(kDequantInverseDct8x8To32[column](c.data(), out.data(), table.data()), kKernelOk);
            ASSERT_EQ(out.Values(), widened);
            ASSERT_TRUE(out.GuardsIntact() && c.GuardsIntact());
            ASSERT_EQ(c.Values(), std::vector<int16_t>(coefficients.begin(), coefficients.end()));
            // Over the record: its first 128 bytes hold the coefficients.
            GuardedArray<int32_t> record(64, o % 4);
            std::memcpy(record.data(), coefficients.data(), sizeof coefficients);
            ASSERT_EQ(kDequantInverseDct8x8To32[column](reinterpret_cast<const int16_t*>(record.data()), record.data(),
                                                        table.data()),
                      kKernelOk);
            ASSERT_EQ(record.Values(), widened);
            ASSERT_TRUE(record.GuardsIntact());
            // As a patch: the block writer's bytes of those samples, the
            // bytes between the rows untouched.
            for (ptrdiff_t stride : {ptrdiff_t{8}, ptrdiff_t{21}}) {
                const size_t bytes = static_cast<size_t>(7 * stride + 8);
                GuardedArray<uint8_t> patch(bytes, o), written(bytes, o);
                std::memset(patch.data(), 0x5A, bytes);
                std::memset(written.data(), 0x5A, bytes);
                kWriteBlock8x8[column](widened.data(), written.data(), stride);
                ASSERT_EQ(kDequantInverseDct8x8ToPatch[column](c.data(), table.data(), patch.data(), stride), kKernelOk);
                ASSERT_EQ(patch.Values(), written.Values());
                ASSERT_TRUE(patch.GuardsIntact() && c.GuardsIntact());
            }
        }
    }
    for (int column = 0; column < kProcessorColumns; ++column) {
        const auto to32 = kDequantInverseDct8x8To32[column];
        Block table = Ones();
        std::array<int32_t, 64> out;
        out.fill(77);
        EXPECT_EQ(to32(nullptr, out.data(), table.data()), kKernelNullPointer);
        EXPECT_EQ(to32(table.data(), nullptr, table.data()), kKernelNullPointer);
        EXPECT_EQ(to32(table.data(), out.data(), nullptr), kKernelNullPointer);
        for (int32_t v : out) ASSERT_EQ(v, 77);
        const auto patch = kDequantInverseDct8x8ToPatch[column];
        std::array<uint8_t, 64> bytes;
        bytes.fill(77);
        EXPECT_EQ(patch(nullptr, table.data(), bytes.data(), 8), kKernelNullPointer);
        EXPECT_EQ(patch(table.data(), nullptr, bytes.data(), 8), kKernelNullPointer);
        EXPECT_EQ(patch(table.data(), table.data(), nullptr, 8), kKernelNullPointer);
        for (uint8_t v : bytes) ASSERT_EQ(v, 77);
    }
}

// The block writer of every column against x + 128 limited to 0..255, over
// the whole 32-bit range, at several strides; bytes between the patch's
// rows stay as they were.
TEST(Row13Companions, BlockWriterLevelShiftsAndClamps) {
    const int32_t edges[] = {INT32_MIN, -65536, -32769, -32768, -640, -512, -129, -128, -1, 0, 1,
                             127,       128,    255,    511,    700,  767,  800,  32767, 32768, INT32_MAX};
    std::mt19937 rng(8);
    for (int trial = 0; trial < 60; ++trial) {
        std::array<int32_t, 64> samples;
        for (int i = 0; i < 64; ++i) {
            samples[static_cast<size_t>(i)] = trial < 20 ? edges[(trial * 64 + i) % std::size(edges)]
                                              : trial < 40 ? static_cast<int32_t>(rng() % 1024) - 512
                                                           : static_cast<int32_t>(rng());
        }
        for (ptrdiff_t stride : {ptrdiff_t{8}, ptrdiff_t{13}, ptrdiff_t{64}}) {
            for (int column = 0; column < kProcessorColumns; ++column) {
                SCOPED_TRACE(::testing::Message() << "trial " << trial << " stride " << stride << " column " << column);
                GuardedArray<uint8_t> image(static_cast<size_t>(7 * stride + 8), static_cast<size_t>(trial % 16));
                std::memset(image.data(), 0x5A, image.size());
                kWriteBlock8x8[column](samples.data(), image.data(), stride);
                ASSERT_TRUE(image.GuardsIntact());
                for (ptrdiff_t b = 0; b < static_cast<ptrdiff_t>(image.size()); ++b) {
                    const ptrdiff_t y = b / stride, x = b % stride;
                    const int64_t sample = x < 8 ? samples[static_cast<size_t>(8 * y + x)] : 0;
                    const uint8_t expected = x < 8 ? static_cast<uint8_t>(std::clamp<int64_t>(sample + 128, 0, 255)) : 0x5A;
                    ASSERT_EQ(image.data()[b], expected) << "byte " << b;
                }
            }
        }
    }
}

}  // namespace
}  // namespace jpegkernels
