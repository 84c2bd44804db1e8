// Differential fuzz target of the Huffman encoding rows across the processor
// columns: row 8 (block after block), row 23 (row after row) or row 26
// (difference after difference), with flushes between, over complete or raw
// encoder tables, any capacity, starting position and pending bits. Every
// column runs on its own copy of the output, exactly as large as the
// capacity, and all must give the same statuses; after every success they
// must hold the same bytes up to the position, position, predictor and
// pending bits. A run ends at its first failure.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace {

using namespace jpegkernels;

#define Check(ok)                                                  \
    do {                                                           \
        if (!(ok)) {                                               \
            std::fprintf(stderr, "check failed at line %d\n", __LINE__); \
            std::abort();                                          \
        }                                                          \
    } while (false)

// A complete code over symbols 0..last built by row 10, or raw entries
// (lengths of 0 or above 16 included).
HuffmanEncoderTable MakeTable(FuzzedDataProvider& in, int last) {
    HuffmanEncoderTable t{};
    if (in.ConsumeBool()) {
        for (uint32_t& e : t.entries) e = in.ConsumeIntegral<uint32_t>() & (in.ConsumeBool() ? 0x000FFFFFu : 0x0011FFFFu);
        return t;
    }
    std::mt19937 rng(in.ConsumeIntegral<uint32_t>());
    const testing::DhtTable dht = testing::DhtFromLengths(
        testing::RandomLengths(rng, testing::SymbolRange(0, last), in.ConsumeIntegralInRange<int>(1, 16)));
    std::vector<uint8_t> huffval = dht.huffval;
    huffval.resize(256);
    Check(HuffmanEncoderTableInit(dht.bits.data(), huffval.data(), &t) == kKernelOk);
    return t;
}

int16_t MakeValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            return in.ConsumeIntegral<int16_t>();
        case 1:
            return in.ConsumeBool() ? -32768 : 32767;
        case 2:
            return static_cast<int16_t>(in.ConsumeIntegralInRange<int>(-300, 300));
        default:
            return 0;
    }
}

// One column's output and coder state.
struct Column {
    std::unique_ptr<uint8_t[]> buffer;
    uint32_t position = 0;
    int16_t predictor = 0;
    HuffmanEncoderState state{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange<int>(0, 2);  // rows 8, 23, 26
    const int components = in.ConsumeIntegralInRange<int>(1, 5);
    std::vector<HuffmanEncoderTable> tables;
    for (int i = 0; i < (mode == 0 ? 2 : std::min(components, 4)); ++i) tables.push_back(MakeTable(in, mode == 0 && i == 1 ? 255 : 16));
    const int32_t capacity = in.ConsumeIntegralInRange<int32_t>(1, 4096);
    uint32_t start = in.ConsumeIntegralInRange<uint32_t>(0, static_cast<uint32_t>(capacity));
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0) start = in.ConsumeBool() ? 0x80000000u : 0xFFFFFFF0u;
    HuffmanEncoderState initial{};
    if (in.ConsumeBool()) {
        initial.accumulator = in.ConsumeIntegral<uint32_t>();
        initial.bitCount = in.ConsumeIntegral<int32_t>();
    }
    const int16_t predictor = MakeValue(in);

    std::array<Column, kProcessorColumns> columns;
    for (Column& c : columns) {
        c.buffer.reset(new uint8_t[static_cast<size_t>(capacity)]);
        std::memset(c.buffer.get(), 0xA5, static_cast<size_t>(capacity));
        c.position = start;
        c.predictor = predictor;
        c.state = initial;
    }
    std::vector<const HuffmanEncoderTable*> tablePointers;
    for (const HuffmanEncoderTable& t : tables) tablePointers.push_back(&t);

    const auto& t = kKernelDispatchTable;
    for (int call = 0; call < 64 && in.remaining_bytes() > 0; ++call) {
        const uint32_t flush = in.ConsumeIntegralInRange<int>(0, 7) == 0;
        int16_t block[64] = {};
        std::vector<std::vector<int16_t>> rows(static_cast<size_t>(components));
        const int32_t width = in.ConsumeIntegralInRange<int32_t>(1, 24);
        if (mode == 0) {
            for (int i = in.ConsumeIntegralInRange<int>(0, 64); i > 0; --i) block[in.ConsumeIntegralInRange<int>(0, 63)] = MakeValue(in);
        } else {
            for (auto& row : rows) {
                row.resize(static_cast<size_t>(width));
                for (int16_t& d : row) d = MakeValue(in);
            }
        }
        std::vector<const int16_t*> rowPointers;
        for (const auto& row : rows) rowPointers.push_back(row.data());

        KernelStatus first = 0;
        for (int k = 0; k < kProcessorColumns; ++k) {
            Column& c = columns[static_cast<size_t>(k)];
            KernelStatus s = kKernelOk;
            if (mode == 0) {
                s = t.Row<KernelRow::HuffmanEncodeBlock8x8>()[k](block, c.buffer.get(), capacity, &c.position, &c.predictor,
                                                                 &tables[0], &tables[1], &c.state, flush);
            } else if (mode == 1) {
                s = t.Row<KernelRow::LosslessEncodeRow>()[k](rowPointers.data(), width, components, c.buffer.get(), capacity,
                                                             &c.position, tablePointers.data(), &c.state, flush);
            } else {
                for (int32_t x = 0; x < width && s == kKernelOk; ++x) {
                    for (size_t i = 0; i < tablePointers.size() && s == kKernelOk; ++i) {
                        s = t.Row<KernelRow::LosslessEncodeOneDiff>()[k](rows[i].data() + x, c.buffer.get(), capacity, &c.position,
                                                                        tablePointers[i], &c.state, flush);
                    }
                }
            }
            if (k == 0) first = s;
            if (s != first) std::fprintf(stderr, "mode %d column %d status %d, column 0 %d\n", mode, k, s, first);
            Check(s == first);
        }
        if (first != kKernelOk && mode == 1) return 0;  // the fast row coder keeps its position on failure
        const Column& base = columns[0];
        for (const Column& c : columns) {
            Check(c.position == base.position && c.predictor == base.predictor);
            Check((c.state.accumulator & 0xFFFFFF) == (base.state.accumulator & 0xFFFFFF) && c.state.bitCount == base.state.bitCount);
            const size_t written = std::min<size_t>(base.position, static_cast<size_t>(capacity));
            if (std::memcmp(c.buffer.get(), base.buffer.get(), written) != 0) {
                size_t i = 0;
                while (c.buffer[i] == base.buffer[i]) ++i;
                std::fprintf(stderr, "mode %d call %d status %d start %u position %u capacity %d column %d byte %zu: %02x vs %02x\n", mode, call, first, start, base.position, capacity, static_cast<int>(&c - &columns[0]), i, c.buffer[i], base.buffer[i]);
            }
            Check(std::memcmp(c.buffer.get(), base.buffer.get(), written) == 0);
        }
        if (first != kKernelOk) return 0;
    }
    return 0;
}
