// Row 13 (dequantisation and inverse DCT) per processor column, in blocks per
// second, and the memory helpers per column.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "jpegkernels/memory/kernel_memory.h"

namespace {

using namespace jpegkernels;

struct Blocks {
    std::vector<std::array<int16_t, 64>> coefficients;
    std::array<int16_t, 64> table;
    Blocks() : coefficients(256) {
        std::mt19937 rng(9);
        for (auto& b : coefficients) {
            for (int i = 0; i < 64; ++i) {
                // Mostly low-frequency content, as in real images.
                const int spread = i < 10 ? 60 : (i < 28 ? 6 : 1);
                b[i] = static_cast<int16_t>(static_cast<int>(rng() % (2 * spread + 1)) - spread);
            }
        }
        for (int i = 0; i < 64; ++i) table[i] = static_cast<int16_t>(2 + i / 2);
    }
};

void BM_DequantInverseDct8x8(benchmark::State& state) {
    static const Blocks blocks;
    const auto entry = kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>()[state.range(0)];
    // A 4-byte aligned work block, as the decoder's.
    alignas(16) int16_t work[68];
    int16_t* out = work + 2;
    size_t i = 0;
    for (auto _ : state) {
        entry(blocks.coefficients[i].data(), out, blocks.table.data());
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
        i = (i + 1) & 255;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DequantInverseDct8x8)->DenseRange(0, 5)->ArgName("column");

// Row 13 with what the decoder does after it for each block on its kernel
// path: the 64 samples widened into the block record's 32-bit values, then
// level-shifted, clamped and stored as an 8 x 8 patch of 8-bit samples in
// the component's row buffer. Arg 1: 0 row 13, a widening loop and one
// range-limit table look-up per sample, as the decoder's generic writers
// do; 1 the companions of the column (widening in the last pass, eight
// samples clamped and stored a step), as the decoder's one-component scans
// take them; 2 the patch companion of the column, which leaves the same
// bytes without the record, as the decoder's MCUs take it.
void BM_Row13WithBlockWriter(benchmark::State& state) {
    static const Blocks blocks;
    const int column = static_cast<int>(state.range(0));
    const int64_t companions = state.range(1);
    const auto entry = kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>()[column];
    const auto to32 = kDequantInverseDct8x8To32[column];
    const auto write = kWriteBlock8x8[column];
    const auto toPatch = kDequantInverseDct8x8ToPatch[column];
    // x + 128 clamped to 0..255 for x in -640..1407, as the decoder's table.
    static const std::array<uint8_t, 2048> rangeLimit = [] {
        std::array<uint8_t, 2048> t{};
        for (int i = 0; i < 2048; ++i) t[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp(i - 512, 0, 255));
        return t;
    }();
    const uint8_t* limit = rangeLimit.data() + 640;
    constexpr size_t kStride = 4096;
    std::vector<uint8_t> rows(8 * kStride);
    alignas(16) int16_t work[68];
    int16_t* out = work + 2;
    alignas(16) std::array<int32_t, 64> record;
    size_t i = 0, x = 0;
    for (auto _ : state) {
        uint8_t* patch = rows.data() + x;
        if (companions == 2) {
            toPatch(blocks.coefficients[i].data(), blocks.table.data(), patch, kStride);
        } else if (companions == 1) {
            to32(blocks.coefficients[i].data(), record.data(), blocks.table.data());
            write(record.data(), patch, kStride);
        } else {
            entry(blocks.coefficients[i].data(), out, blocks.table.data());
            for (int k = 0; k < 64; ++k) record[static_cast<size_t>(k)] = out[k];
            for (size_t r = 0; r < 8; ++r) {
                for (size_t c = 0; c < 8; ++c) patch[r * kStride + c] = limit[record[8 * r + c]];
            }
        }
        benchmark::ClobberMemory();
        i = (i + 1) & 255;
        x = (x + 8) & (kStride - 1);
    }
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Row13WithBlockWriter)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1, 2}})->ArgNames({"column", "companions"});

void BM_KernelZero(benchmark::State& state) {
    const auto zero = kKernelMemoryHelpers[state.range(0)].zero;
    const int32_t bytes = static_cast<int32_t>(state.range(1));
    std::vector<uint8_t> area(static_cast<size_t>(bytes) + 16);
    for (auto _ : state) {
        zero(area.data() + 1, bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_KernelZero)->ArgsProduct({{0, 1, 2, 5}, {128, 1644}})->ArgNames({"column", "bytes"});

void BM_KernelCopy(benchmark::State& state) {
    const auto copy = kKernelMemoryHelpers[state.range(0)].copy;
    const int32_t bytes = static_cast<int32_t>(state.range(1));
    std::vector<uint8_t> from(static_cast<size_t>(bytes) + 16, 1), to(static_cast<size_t>(bytes) + 16);
    for (auto _ : state) {
        copy(from.data() + 3, to.data() + 1, bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_KernelCopy)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1024, 65536}})->ArgNames({"column", "bytes"});

}  // namespace
