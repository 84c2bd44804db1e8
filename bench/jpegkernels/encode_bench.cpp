// Encoding rows: a 2048 x 2048 RGB picture encoded 4:2:0 at quality 90
// through rows 3, 7 and 8 of one column, against libjpeg's
// jpeg_write_scanlines on the same picture with the same quantisation and
// Huffman tables (JDCT_ISLOW); and rows 7, 8 and 23 per column, in blocks
// or rows per second.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "jpegkernels/fdct/fdct_kernels.h"
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "jpegkernels/losslessenc/lossless_encode_kernels.h"
#include "tests/jpegkernels/encode_test_stream.h"

namespace {

using namespace jpegkernels;

constexpr int kSize = 2048;

// libjpeg's quality-90 tables: quantisers in zig-zag order, the standard
// Huffman tables in DHT form.
struct Tables {
    std::array<uint8_t, 64> quant[2];
    HuffmanEncoderTable huffman[4];  // DC 0, AC 0, DC 1, AC 1
    uint16_t reciprocals[2][64];
    Tables() {
        jpeg_compress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        info.in_color_space = JCS_RGB;
        info.input_components = 3;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        for (int q = 0; q < 2; ++q) {
            for (int k = 0; k < 64; ++k) {
                quant[q][static_cast<size_t>(k)] = static_cast<uint8_t>(info.quant_tbl_ptrs[q]->quantval[testing::kZigzag[k]]);
            }
            QuantTableInit(quant[q].data(), reciprocals[q]);
        }
        for (int i = 0; i < 4; ++i) {
            const JHUFF_TBL* t = i % 2 ? info.ac_huff_tbl_ptrs[i / 2] : info.dc_huff_tbl_ptrs[i / 2];
            std::array<uint8_t, 256> huffval{};
            std::copy(t->huffval, t->huffval + 256, huffval.begin());
            HuffmanEncoderTableInit(t->bits + 1, huffval.data(), &huffman[i]);
        }
        jpeg_destroy_compress(&info);
    }
};

const testing::RgbPicture& Picture() {
    static const testing::RgbPicture picture = testing::SyntheticPicture(kSize, kSize, 90);
    return picture;
}

const Tables& EncoderTables() {
    static const Tables tables;
    return tables;
}

// The whole picture through rows 3, 7 and 8 of a column; the scan's size.
size_t EncodeWithRows(int column, std::vector<uint8_t>& out) {
    const auto& t = kKernelDispatchTable;
    const auto convert = t.Row<KernelRow::RgbToYCbCrLevelShift420>()[column];
    const auto transform = t.Row<KernelRow::ForwardDctQuant8x8>()[column];
    const auto encode = t.Row<KernelRow::HuffmanEncodeBlock8x8>()[column];
    const Tables& tables = EncoderTables();
    const uint8_t* pixels = Picture().samples.data();
    HuffmanEncoderState state;
    t.Row<KernelRow::HuffmanEncoderStateInit>()[column](&state);
    uint32_t position = 0;
    int16_t predictors[3] = {};
    alignas(16) int16_t blocks[6][64];
    int16_t* planes[3] = {blocks[0], blocks[4], blocks[5]};
    const int32_t capacity = static_cast<int32_t>(out.size());
    for (int my = 0; my < kSize / 16; ++my) {
        for (int mx = 0; mx < kSize / 16; ++mx) {
            convert(pixels + (static_cast<size_t>(my) * 16 * kSize + static_cast<size_t>(mx) * 16) * 3, 3 * kSize, planes);
            for (int b = 0; b < 6; ++b) {
                transform(blocks[b], tables.reciprocals[b >= 4]);
                const int c = b < 4 ? 0 : b - 3;
                encode(blocks[b], out.data(), capacity, &position, &predictors[c], &tables.huffman[2 * (c != 0)],
                       &tables.huffman[2 * (c != 0) + 1], &state, 0);
            }
        }
    }
    encode(nullptr, out.data(), capacity, &position, nullptr, nullptr, nullptr, &state, 1);
    return position;
}

void BM_EncodePictureRows(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    std::vector<uint8_t> out(static_cast<size_t>(kSize) * kSize * 3);
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = EncodeWithRows(column, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["scan_bytes"] = static_cast<double>(bytes);
    state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSize * kSize / 1e6,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EncodePictureRows)->Arg(5)->Arg(0)->ArgName("column")->Unit(benchmark::kMillisecond);

// The anchor: libjpeg-turbo compressing the same picture 4:2:0 at quality
// 90 with its standard tables and the slow integer DCT.
void BM_EncodePictureLibjpeg(benchmark::State& state) {
    const uint8_t* pixels = Picture().samples.data();
    unsigned long bytes = 0;
    for (auto _ : state) {
        jpeg_compress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        unsigned char* buffer = nullptr;
        bytes = 0;
        jpeg_mem_dest(&info, &buffer, &bytes);
        info.image_width = kSize;
        info.image_height = kSize;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        info.dct_method = JDCT_ISLOW;
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW rows[16];
            JDIMENSION n = 0;
            for (; n < 16 && info.next_scanline + n < info.image_height; ++n) {
                rows[n] = const_cast<JSAMPROW>(pixels + static_cast<size_t>(info.next_scanline + n) * kSize * 3);
            }
            jpeg_write_scanlines(&info, rows, n);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSize * kSize / 1e6,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EncodePictureLibjpeg)->Unit(benchmark::kMillisecond);

// Level-shifted luminance blocks of the picture, and their quantised
// coefficients.
struct PictureBlocks {
    std::vector<std::array<int16_t, 64>> samples, coefficients;
    PictureBlocks() {
        const uint8_t* pixels = Picture().samples.data();
        for (int by = 0; by < 64; ++by) {
            for (int bx = 0; bx < 64; ++bx) {
                std::array<int16_t, 64> b;
                for (int i = 0; i < 64; ++i) {
                    b[static_cast<size_t>(i)] = static_cast<int16_t>(
                        pixels[((static_cast<size_t>(by) * 8 + i / 8) * kSize + static_cast<size_t>(bx) * 8 + i % 8) * 3 + 1] - 128);
                }
                samples.push_back(b);
                ForwardDctQuant8x8(b.data(), EncoderTables().reciprocals[0]);
                coefficients.push_back(b);
            }
        }
    }
};

const PictureBlocks& Blocks() {
    static const PictureBlocks blocks;
    return blocks;
}

void BM_Row7(benchmark::State& state) {
    const auto entry = kKernelDispatchTable.Row<KernelRow::ForwardDctQuant8x8>()[state.range(0)];
    const auto& blocks = Blocks().samples;
    alignas(16) int16_t work[64];
    size_t i = 0;
    for (auto _ : state) {
        std::copy(blocks[i].begin(), blocks[i].end(), work);
        entry(work, EncoderTables().reciprocals[0]);
        benchmark::DoNotOptimize(work);
        i = (i + 1) % blocks.size();
    }
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Row7)->DenseRange(0, 5)->ArgName("column");

void BM_Row8(benchmark::State& state) {
    const auto entry = kKernelDispatchTable.Row<KernelRow::HuffmanEncodeBlock8x8>()[state.range(0)];
    const auto& blocks = Blocks().coefficients;
    std::vector<uint8_t> out(blocks.size() * 256);
    HuffmanEncoderState coder{};
    uint32_t position = 0;
    int16_t predictor = 0;
    size_t i = 0;
    for (auto _ : state) {
        if (i == 0) position = 0;
        entry(blocks[i].data(), out.data(), static_cast<int32_t>(out.size()), &position, &predictor,
              &EncoderTables().huffman[0], &EncoderTables().huffman[1], &coder, 0);
        i = (i + 1) % blocks.size();
    }
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Row8)->DenseRange(0, 5)->ArgName("column");

// Rows of 2048 differences of a 12-bit picture, predictor 1, one table.
void BM_Row23(benchmark::State& state) {
    const auto entry = kKernelDispatchTable.Row<KernelRow::LosslessEncodeRow>()[state.range(0)];
    const uint8_t* pixels = Picture().samples.data();
    std::vector<int16_t> differences(kSize);
    uint32_t counts[17] = {};
    for (int x = 0; x < kSize; ++x) {
        const int s = pixels[3 * x] * 16 + pixels[3 * x + 1] / 16, left = x ? pixels[3 * x - 3] * 16 + pixels[3 * x - 2] / 16 : 2048;
        differences[static_cast<size_t>(x)] = static_cast<int16_t>(s - left);
        LosslessGatherStatistics(&differences[static_cast<size_t>(x)], counts);
    }
    std::array<int32_t, 257> statistics{};
    for (int i = 0; i < 17; ++i) statistics[static_cast<size_t>(i)] = static_cast<int32_t>(counts[i]);
    uint8_t bits[16], huffval[256] = {};
    HuffmanTableFromStatistics(statistics.data(), bits, huffval);
    HuffmanEncoderTable table;
    HuffmanEncoderTableInit(bits, huffval, &table);
    const int16_t* rows[1] = {differences.data()};
    const HuffmanEncoderTable* tables[1] = {&table};
    std::vector<uint8_t> out(kSize * 8);
    HuffmanEncoderState coder{};
    for (auto _ : state) {
        uint32_t position = 0;
        entry(rows, kSize, 1, out.data(), static_cast<int32_t>(out.size()), &position, tables, &coder, 0);
        benchmark::DoNotOptimize(position);
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Row23)->DenseRange(0, 5)->ArgName("column");

}  // namespace
