// Huffman and lossless decoding rows per processor column over real
// streams: row 18 over every block of a cjpeg baseline stream (blocks and
// entropy-coded megabytes per second), rows 19 and 20 over a 16-bit
// lossless stream written by dcmcjpeg (samples per second), and rows 21 and
// 22 reconstructing its rows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/jpeg_test_stream.h"

namespace {

using namespace jpegkernels;
using namespace jpegkernels::testing;

JpegStream Load(const char* name) {
    JpegStream stream;
    std::string error;
    if (!ParseJpeg(ReadFileBytes(std::string(BENCH_DATA_DIR) + "/jpegkernels/" + name), stream, error)) {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        std::abort();
    }
    return stream;
}

const JpegStream& Baseline() {
    static const JpegStream s = Load("bench_baseline.jpg");
    return s;
}

const JpegStream& Lossless16() {
    static const JpegStream s = Load("bench16_sv1_pt0.jpg");
    return s;
}

void BM_Row18_BaselineScan(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    SequentialScanDecoder decoder;
    CoefficientImage image;
    if (decoder.Prepare(Baseline(), column, image) != kKernelOk) state.SkipWithError("tables");
    for (auto _ : state) {
        if (decoder.Run(image) != kKernelOk) state.SkipWithError("decode");
        benchmark::ClobberMemory();
    }
    const double scans = static_cast<double>(state.iterations());
    state.counters["blocks/s"] = benchmark::Counter(scans * decoder.Blocks(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(Baseline().bytes.size() - Baseline().scanOffset));
}
BENCHMARK(BM_Row18_BaselineScan)->DenseRange(0, 5)->ArgName("column");

void CountSamples(benchmark::State& state) {
    const JpegStream& s = Lossless16();
    state.counters["samples/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * s.width * s.height * static_cast<double>(s.components.size()),
        benchmark::Counter::kIsRate);
}

// Arg 1: 0 row 20 for whole rows, 1 row 19 for every difference.
void BM_Row19And20_Lossless16(benchmark::State& state) {
    LosslessScanDecoder decoder;
    LosslessScanDecoder::Differences differences;
    if (decoder.Prepare(Lossless16(), static_cast<int>(state.range(0))) != kKernelOk) state.SkipWithError("tables");
    for (auto _ : state) {
        if (decoder.DecodeDifferences(state.range(1) != 0, differences) != kKernelOk) state.SkipWithError("decode");
        benchmark::ClobberMemory();
    }
    CountSamples(state);
}
BENCHMARK(BM_Row19And20_Lossless16)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->ArgNames({"column", "row19"});

// The stream's rows reconstructed with row 21 (every row as a first row)
// or row 22 with the predictor given (arg 1: 0 for row 21).
void BM_Row21And22_Lossless16(benchmark::State& state) {
    const JpegStream& s = Lossless16();
    const int column = static_cast<int>(state.range(0));
    const int32_t predictor = static_cast<int32_t>(state.range(1));
    LosslessScanDecoder decoder;
    LosslessScanDecoder::Differences differences;
    if (decoder.Prepare(s, 0) != kKernelOk || decoder.DecodeDifferences(false, differences) != kKernelOk) {
        state.SkipWithError("decode");
    }
    const auto first = kKernelDispatchTable.Row<KernelRow::LosslessReconstructFirstRow>()[column];
    const auto further = kKernelDispatchTable.Row<KernelRow::LosslessReconstructRow>()[column];
    std::vector<uint16_t> previous(static_cast<size_t>(s.width), 32768), current(previous.size());
    for (auto _ : state) {
        for (const auto& row : differences) {
            if (predictor == 0) {
                first(row[0].data(), current.data(), s.width, s.precision, s.al);
            } else {
                further(row[0].data(), previous.data(), current.data(), s.width, predictor);
            }
            std::swap(previous, current);
        }
        benchmark::ClobberMemory();
    }
    CountSamples(state);
}
BENCHMARK(BM_Row21And22_Lossless16)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1, 2, 4, 7}})->ArgNames({"column", "predictor"});

}  // namespace
