// Huffman and lossless decoding rows per processor column over real
// streams: row 18 over every block of a cjpeg baseline stream (blocks and
// entropy-coded megabytes per second), rows 19 and 20 over a 16-bit
// lossless stream written by dcmcjpeg (samples per second), and rows 21 and
// 22 reconstructing its rows.
//
// The large streams generated into the build tree (make_bench_streams.py)
// give the figures that count: row 18 over a 4096 x 4096 quality-90 grey
// stream against libjpeg's jpeg_read_coefficients on the same bytes, which
// does the same work (entropy decoding into coefficient blocks), and the
// lossless rows over a 4096 x 4096 12-bit stream, decoded and rebuilt row by
// row as a decoder does.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/jpeg_test_stream.h"

namespace {

using namespace jpegkernels;
using namespace jpegkernels::testing;

JpegStream LoadFrom(const std::string& dir, const char* name) {
    JpegStream stream;
    std::string error;
    if (!ParseJpeg(ReadFileBytes(dir + "/" + name), stream, error)) {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        std::abort();
    }
    return stream;
}

JpegStream Load(const char* name) { return LoadFrom(std::string(BENCH_DATA_DIR) + "/jpegkernels", name); }

const JpegStream& Grey4096() {
    static const JpegStream s = LoadFrom(BENCH_STREAM_DIR, "grey4096_q90.jpg");
    return s;
}

const JpegStream& Lossless12() {
    static const JpegStream s = LoadFrom(BENCH_STREAM_DIR, "grey4096_p12_sv1.jpg");
    return s;
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

// Row 18 over every block of the 4096 x 4096 quality-90 stream.
void BM_Row18_Grey4096(benchmark::State& state) {
    SequentialScanDecoder decoder;
    CoefficientImage image;
    if (decoder.Prepare(Grey4096(), static_cast<int>(state.range(0)), image) != kKernelOk) {
        state.SkipWithError("tables");
    }
    for (auto _ : state) {
        if (decoder.Run(image) != kKernelOk) state.SkipWithError("decode");
        benchmark::ClobberMemory();
    }
    state.counters["blocks/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * decoder.Blocks(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Grey4096().bytes.size()));
}
BENCHMARK(BM_Row18_Grey4096)->DenseRange(0, 5)->ArgName("column")->Unit(benchmark::kMillisecond);

// The anchor: libjpeg-turbo entropy-decodes the same stream into its
// coefficient arrays (its default error handler ends the program on a
// fault, which a generated stream never has).
void BM_Libjpeg_ReadCoefficients_Grey4096(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = Grey4096().bytes;
    for (auto _ : state) {
        jpeg_decompress_struct info;
        jpeg_error_mgr error;
        info.err = jpeg_std_error(&error);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
        jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&info);
        benchmark::DoNotOptimize(coefficients);
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
    }
    state.counters["blocks/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * (Grey4096().width / 8) * (Grey4096().height / 8),
        benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Libjpeg_ReadCoefficients_Grey4096)->Unit(benchmark::kMillisecond);

// The 12-bit lossless stream row by row as a decoder takes it: row 20 into
// one difference row, then (arg 1 = 1) row 21 for the first row and row 22
// with the scan's predictor for the others, into the image.
void BM_Lossless12_Grey4096(benchmark::State& state) {
    const JpegStream& s = Lossless12();
    const int column = static_cast<int>(state.range(0));
    const bool reconstruct = state.range(1) != 0;
    const auto decode = kKernelDispatchTable.Row<KernelRow::LosslessDecodeRow>()[column];
    const auto first = kKernelDispatchTable.Row<KernelRow::LosslessReconstructFirstRow>()[column];
    const auto further = kKernelDispatchTable.Row<KernelRow::LosslessReconstructRow>()[column];
    HuffmanDecoderTable table;
    const std::optional<DhtTable>& dht = s.dcTables[static_cast<size_t>(s.components[0].dcTable)];
    if (s.components.size() != 1 || s.restartInterval != 0 || !dht ||
        kKernelDispatchTable.Row<KernelRow::HuffmanDecoderTableInit>()[column](dht->bits.data(), dht->huffval.data(),
                                                                                &table) != kKernelOk) {
        state.SkipWithError("stream");
        return;
    }
    const HuffmanDecoderTable* tables[1] = {&table};
    const uint8_t* data = s.bytes.data() + s.scanOffset;
    const int32_t length = static_cast<int32_t>(s.bytes.size() - s.scanOffset);
    const size_t width = static_cast<size_t>(s.width);
    std::vector<uint16_t> differences(width), image(width * static_cast<size_t>(s.height));
    for (auto _ : state) {
        uint32_t position = 0;
        MarkerWord marker = 0;
        HuffmanDecoderState bits{};
        uint16_t* outputs[1] = {differences.data()};
        for (int y = 0; y < s.height; ++y) {
            if (decode(data, length, &position, outputs, s.width, 1, &marker, tables, &bits) != kKernelOk) {
                state.SkipWithError("decode");
                break;
            }
            if (!reconstruct) continue;
            uint16_t* row = image.data() + width * static_cast<size_t>(y);
            if (y == 0) {
                first(differences.data(), row, s.width, s.precision, s.al);
            } else {
                further(differences.data(), row - width, row, s.width, s.ss);
            }
        }
        benchmark::ClobberMemory();
    }
    state.counters["samples/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * s.width * s.height, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Lossless12_Grey4096)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})
    ->ArgNames({"column", "rebuild"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
