// Rows 8 to 11, 28 and 29 and the bit writer: every column against the
// tests' Huffman encoder and an ITU-T T.81 K.2 model, and across each other
// when the buffer runs out anywhere.
#include "jpegkernels/huffencode/huffman_encode_kernels.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::BitWriter;
using testing::DhtTable;
using testing::GuardedArray;

using PutBitsFunction = KernelStatus (*)(uint32_t, uint32_t, uint8_t*, int32_t, uint32_t*, HuffmanEncoderState*);
constexpr PutBitsFunction kWriters[] = {HuffmanPutBits, HuffmanPutBits_Sse3, HuffmanPutBits_Ssse3, HuffmanPutBits_Sse41};

HuffmanEncoderState Pending(uint32_t bits, int32_t count) {
    HuffmanEncoderState s{};
    s.accumulator = bits << (24 - count);
    s.bitCount = count;
    return s;
}

TEST(BitWriter, EveryBuildPacksStuffsAndStopsAtTheSize) {
    for (PutBitsFunction put : kWriters) {
        uint8_t out[8] = {};
        uint32_t at = 0;
        HuffmanEncoderState s{};
        EXPECT_EQ(put(0b101, 3, out, 8, &at, &s), kKernelOk);
        EXPECT_EQ(put(0b11111, 5, out, 8, &at, &s), kKernelOk);
        EXPECT_EQ(at, 1u);
        EXPECT_EQ(out[0], 0xBF);
        EXPECT_EQ(s.bitCount, 0);
        EXPECT_EQ(put(0xFF, 8, out, 8, &at, &s), kKernelOk);  // 0xFF and its stuffed 0x00
        EXPECT_EQ(at, 3u);
        EXPECT_EQ(out[1] << 8 | out[2], 0xFF00);
        EXPECT_EQ(put(0xFFFF, 4, out, 8, &at, &s), kKernelOk);  // the bits above the length are ignored
        EXPECT_EQ(s.accumulator, 0xF00000u);
        // Seven pending bits and a 16-bit code: two bytes out, seven pending.
        s = Pending(0x55, 7);
        at = 0;
        EXPECT_EQ(put(0x1234, 16, out, 8, &at, &s), kKernelOk);
        EXPECT_EQ(at, 2u);
        EXPECT_EQ(out[0] << 8 | out[1], (0x55 << 9 | 0x1234 >> 7) & 0xFFFF);
        EXPECT_EQ(s.bitCount, 7);
        // A write that completes no byte needs no room.
        s = Pending(5, 3);
        at = 8;
        EXPECT_EQ(put(1, 1, out, 8, &at, &s), kKernelOk);
        // The byte 0xFF in the last place: stored, no room for its 0x00.
        s = Pending(0x7F, 7);
        at = 7;
        const HuffmanEncoderState before = s;
        EXPECT_EQ(put(1, 1, out, 8, &at, &s), kKernelDataEnded);
        EXPECT_EQ(at, 8u);
        EXPECT_EQ(out[7], 0xFF);
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
        // Lengths of 0 and above 16, and positions at or beyond 2^31, change
        // nothing.
        std::memset(out, 0xEE, sizeof out);
        for (auto [length, position] : {std::pair<uint32_t, uint32_t>{0, 0}, {17, 0}, {8, 0x80000000u}, {8, 0xFFFFFFFFu}}) {
            at = position;
            EXPECT_EQ(put(0xA5, length, out, 8, &at, &s), length == 8 ? kKernelDataEnded : kKernelTooManyCodes);
            EXPECT_EQ(at, position);
            EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
        }
        EXPECT_TRUE(std::all_of(out, out + 8, [](uint8_t b) { return b == 0xEE; }));
    }
}

// A table built by row 10 of the generic column.
HuffmanEncoderTable EncoderTable(const DhtTable& dht) {
    std::vector<uint8_t> huffval = dht.huffval;
    huffval.resize(256);
    HuffmanEncoderTable t;
    EXPECT_EQ(HuffmanEncoderTableInit(dht.bits.data(), huffval.data(), &t), kKernelOk);
    return t;
}

struct BlockTables {
    DhtTable dc, ac;
    HuffmanEncoderTable dcTable, acTable;
};

BlockTables RandomTables(std::mt19937& rng) {
    BlockTables t;
    t.dc = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, 16), 16));
    t.ac = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, 255), 16));
    t.dcTable = EncoderTable(t.dc);
    t.acTable = EncoderTable(t.ac);
    return t;
}

// Sparse blocks: a few values of every magnitude (AC within -32767..32767),
// DC differences within 16 bits as the tests' encoder takes them.
std::array<int16_t, 64> RandomBlock(std::mt19937& rng) {
    std::array<int16_t, 64> b{};
    const int filled = static_cast<int>(rng() % 4 == 0 ? 64 : rng() % 24);
    for (int i = 0; i < filled; ++i) {
        const int magnitude = 1 << (rng() % 16);
        const int v = static_cast<int>(rng() % static_cast<uint32_t>(magnitude)) + (rng() % 5 == 0 ? magnitude - 1 : 0);
        b[rng() % 64] = static_cast<int16_t>(rng() % 2 ? v : -v);
    }
    if (rng() % 8 == 0) b[63] = 5;
    b[0] = static_cast<int16_t>(static_cast<int>(rng() % 32768) - 16384);
    return b;
}

struct Sequence {
    BlockTables tables;
    std::vector<std::array<int16_t, 64>> blocks;
    std::vector<uint8_t> expected;  // the tests' encoder, padded
};

Sequence RandomSequence(std::mt19937& rng, int blocks) {
    Sequence s{RandomTables(rng), {}, {}};
    BitWriter w;
    const auto dc = testing::MakeCodes(s.tables.dc), ac = testing::MakeCodes(s.tables.ac);
    int16_t predictor = 0;
    for (int i = 0; i < blocks; ++i) {
        s.blocks.push_back(RandomBlock(rng));
        testing::EncodeBlock(w, s.blocks.back().data(), predictor, dc, ac);
    }
    w.Flush();
    s.expected = w.bytes;
    return s;
}

// One column over a sequence and its flush: the first failing status, the
// bytes up to the position, the predictor.
struct Encoded {
    KernelStatus status = 0;
    std::vector<uint8_t> bytes;
    int16_t predictor = 0;
    bool guardsIntact = true;
};

Encoded EncodeSequence(int column, const Sequence& s, int32_t capacity, size_t offset) {
    const auto row = kKernelDispatchTable.Row<KernelRow::HuffmanEncodeBlock8x8>()[column];
    GuardedArray<uint8_t> buffer(static_cast<size_t>(capacity), offset);
    HuffmanEncoderState state;
    std::memset(&state, 0x5A, sizeof state);
    EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanEncoderStateInit>()[column](&state), kKernelOk);
    uint32_t position = 0;
    Encoded e;
    for (const auto& block : s.blocks) {
        e.status = row(block.data(), buffer.data(), capacity, &position, &e.predictor, &s.tables.dcTable, &s.tables.acTable, &state, 0);
        if (e.status != kKernelOk) break;
    }
    if (e.status == kKernelOk) {
        e.status = row(nullptr, buffer.data(), capacity, &position, nullptr, nullptr, nullptr, &state, 1);
        EXPECT_EQ(state.bitCount, 0);
    }
    e.bytes.assign(buffer.data(), buffer.data() + position);
    e.guardsIntact = buffer.GuardsIntact();
    return e;
}

TEST(Row8, EveryColumnWritesTheTestEncodersBytes) {
    std::mt19937 rng(21);
    for (int trial = 0; trial < 60; ++trial) {
        const Sequence s = RandomSequence(rng, 1 + trial % 25);
        for (int k = 0; k < kProcessorColumns; ++k) {
            const int32_t capacity = static_cast<int32_t>(s.expected.size() + rng() % 40);
            const Encoded e = EncodeSequence(k, s, capacity, rng() % 16);
            ASSERT_EQ(e.status, kKernelOk) << "column " << k;
            ASSERT_EQ(e.bytes, s.expected) << "column " << k << " trial " << trial;
            EXPECT_EQ(e.predictor, s.blocks.back()[0]);
            EXPECT_TRUE(e.guardsIntact);
        }
    }
}

// Every capacity from 1 up: the same status, position and bytes in every
// column; the bytes are the expected stream's.
TEST(Row8, ColumnsAgreeWhenTheBufferEndsAnywhere) {
    std::mt19937 rng(22);
    for (int trial = 0; trial < 4; ++trial) {
        const Sequence s = RandomSequence(rng, 12);
        for (int32_t capacity = 1; capacity <= static_cast<int32_t>(s.expected.size()); ++capacity) {
            const Encoded generic = EncodeSequence(0, s, capacity, 0);
            ASSERT_EQ(generic.status, capacity < static_cast<int32_t>(s.expected.size()) ? kKernelDataEnded : kKernelOk);
            ASSERT_TRUE(std::equal(generic.bytes.begin(), generic.bytes.end(), s.expected.begin()));
            for (int k = 1; k < kProcessorColumns; ++k) {
                const Encoded e = EncodeSequence(k, s, capacity, static_cast<size_t>(capacity % 16));
                ASSERT_EQ(e.status, generic.status) << "column " << k << " capacity " << capacity;
                ASSERT_EQ(e.bytes, generic.bytes) << "column " << k << " capacity " << capacity;
                ASSERT_EQ(e.predictor, generic.predictor);
                ASSERT_TRUE(e.guardsIntact);
            }
        }
    }
}

TEST(Row8, EdgeBlocksAndRefusals) {
    std::mt19937 rng(23);
    const BlockTables t = RandomTables(rng);
    const auto dc = testing::MakeCodes(t.dc), ac = testing::MakeCodes(t.ac);
    for (int k = 0; k < kProcessorColumns; ++k) {
        SCOPED_TRACE(k);
        const auto row = kKernelDispatchTable.Row<KernelRow::HuffmanEncodeBlock8x8>()[k];
        // DC differences beyond 16 bits: category 16 and 16 extra bits.
        for (auto [dcValue, predictorValue] : {std::pair<int16_t, int16_t>{32767, -32768}, {-32768, 32767}, {-1, 0}, {256, 0}}) {
            int16_t block[64] = {dcValue}, predictor = predictorValue;
            uint8_t out[64];
            uint32_t position = 0;
            HuffmanEncoderState state{};
            ASSERT_EQ(row(block, out, 64, &position, &predictor, &t.dcTable, &t.acTable, &state, 0), kKernelOk);
            ASSERT_EQ(row(nullptr, out, 64, &position, nullptr, nullptr, nullptr, &state, 1), kKernelOk);
            const int32_t difference = dcValue - predictorValue;
            const int category = testing::Category(difference);
            BitWriter w;
            w.Symbol(dc, category);
            w.Put(static_cast<uint32_t>(difference < 0 ? difference - 1 : difference) & ((1u << category) - 1), category);
            w.Symbol(ac, 0x00);
            w.Flush();
            EXPECT_EQ(std::vector<uint8_t>(out, out + position), w.bytes) << difference;
        }
        // An AC coefficient of -32768: -5 with nothing changed.
        int16_t block[64] = {7};
        block[26] = -32768;
        uint8_t out[64];
        std::memset(out, 0xEE, sizeof out);
        uint32_t position = 3;
        int16_t predictor = 1;
        HuffmanEncoderState state = Pending(5, 3), before = state;
        EXPECT_EQ(row(block, out, 64, &position, &predictor, &t.dcTable, &t.acTable, &state, 0), kKernelOutOfRange);
        EXPECT_EQ(position, 3u);
        EXPECT_EQ(predictor, 1);
        EXPECT_EQ(std::memcmp(&state, &before, sizeof state), 0);
        EXPECT_TRUE(std::all_of(out, out + 64, [](uint8_t b) { return b == 0xEE; }));
        // A DC category without a code, or with a length above 16: -64, the
        // predictor already updated.
        block[26] = 0;
        for (uint32_t entry : {0u, 17u << 16 | 1}) {
            HuffmanEncoderTable holed = t.dcTable;
            holed.entries[testing::Category(7 - 1)] = entry;
            predictor = 1;
            EXPECT_EQ(row(block, out, 64, &position, &predictor, &holed, &t.acTable, &state, 0), kKernelTooManyCodes);
            EXPECT_EQ(predictor, 7);
        }
        // Flushes: 101 pending gives 0xBF; seven ones give 0xFF 0x00; none
        // gives nothing; the state is cleared each time.
        for (auto [bits, count, expected] : {std::tuple<uint32_t, int32_t, std::vector<uint8_t>>{5, 3, {0xBF}},
                                             {0x7F, 7, {0xFF, 0x00}}, {0, 0, {}}}) {
            state = Pending(bits, count);
            position = 0;
            EXPECT_EQ(row(nullptr, out, 64, &position, nullptr, nullptr, nullptr, &state, 1), kKernelOk);
            EXPECT_EQ(std::vector<uint8_t>(out, out + position), expected);
            EXPECT_EQ(state.accumulator | static_cast<uint32_t>(state.bitCount), 0u);
        }
    }
}

TEST(Row10, CanonicalCodesAndRefusals) {
    std::mt19937 rng(24);
    for (int k = 0; k < kProcessorColumns; ++k) {
        const auto row = kKernelDispatchTable.Row<KernelRow::HuffmanEncoderTableInit>()[k];
        for (int trial = 0; trial < 20; ++trial) {
            const int last = static_cast<int>(rng() % 256);
            const DhtTable dht = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, last), 1 + static_cast<int>(rng() % 16)));
            std::vector<uint8_t> huffval = dht.huffval;
            huffval.resize(256);
            HuffmanEncoderTable table;
            std::memset(&table, 0x77, sizeof table);
            ASSERT_EQ(row(dht.bits.data(), huffval.data(), &table), kKernelOk);
            const auto codes = testing::MakeCodes(dht);
            for (int s = 0; s < 256; ++s) {
                ASSERT_EQ(table.entries[s], s <= last ? static_cast<uint32_t>(codes.length[static_cast<size_t>(s)]) << 16 | codes.code[static_cast<size_t>(s)] : 0u);
            }
        }
        HuffmanEncoderTable table;
        const uint8_t values[257] = {4, 4, 9};
        uint8_t bits[16] = {3};
        EXPECT_EQ(row(bits, values, &table), kKernelTooManyCodes);  // three codes of one bit
        bits[0] = 2;
        EXPECT_EQ(row(bits, values, &table), kKernelTooManyCodes);  // the all-ones code of one bit
        bits[0] = 0;
        bits[1] = 3;
        EXPECT_EQ(row(bits, values, &table), kKernelOk);  // 4 listed twice keeps its last code
        EXPECT_EQ(table.entries[4], 2u << 16 | 1);
        EXPECT_EQ(table.entries[9], 2u << 16 | 2);
        std::fill(bits, bits + 16, uint8_t{17});
        EXPECT_EQ(row(bits, values, &table), kKernelTooManyCodes);  // 272 codes
        EXPECT_EQ(row(bits, nullptr, &table), kKernelNullPointer);
    }
}

// ITU-T T.81 K.2 as written there: code sizes by merging the two least
// frequent (the larger symbol winning ties), symbol 256 reserved, limited to
// 16 bits, the reserved code removed.
bool ModelStatistics(const std::vector<int64_t>& counts, std::array<uint8_t, 16>& bits, std::vector<uint8_t>& huffval) {
    std::vector<int64_t> freq(counts.begin(), counts.begin() + 256);
    freq.push_back(1);
    std::vector<int> size(257, 0), next(257, -1);
    auto least = [&](int skip) {
        int found = -1;
        for (int v = 0; v <= 256; ++v) {
            if (v != skip && freq[static_cast<size_t>(v)] > 0 && (found < 0 || freq[static_cast<size_t>(v)] <= freq[static_cast<size_t>(found)])) found = v;
        }
        return found;
    };
    for (;;) {
        int a = least(-1), b = least(a);
        if (b < 0) break;
        freq[static_cast<size_t>(a)] += freq[static_cast<size_t>(b)];
        freq[static_cast<size_t>(b)] = 0;
        for (int v = a;; v = next[static_cast<size_t>(v)]) {
            ++size[static_cast<size_t>(v)];
            if (next[static_cast<size_t>(v)] < 0) {
                next[static_cast<size_t>(v)] = b;
                break;
            }
        }
        for (int v = b; v >= 0; v = next[static_cast<size_t>(v)]) ++size[static_cast<size_t>(v)];
    }
    std::vector<int64_t> perLength(33, 0);
    for (int s : size) {
        if (s > 32) return false;
        if (s > 0) ++perLength[static_cast<size_t>(s)];
    }
    for (int i = 32; i > 16; --i) {
        while (perLength[static_cast<size_t>(i)] > 0) {
            int j = i - 2;
            while (perLength[static_cast<size_t>(j)] == 0) --j;
            perLength[static_cast<size_t>(i)] -= 2;
            ++perLength[static_cast<size_t>(i - 1)];
            perLength[static_cast<size_t>(j + 1)] += 2;
            --perLength[static_cast<size_t>(j)];
        }
    }
    int longest = 16;
    while (perLength[static_cast<size_t>(longest)] == 0) --longest;
    --perLength[static_cast<size_t>(longest)];
    for (int l = 1; l <= 16; ++l) bits[static_cast<size_t>(l - 1)] = static_cast<uint8_t>(perLength[static_cast<size_t>(l)]);
    huffval.clear();
    for (int l = 1; l <= 32; ++l) {
        for (int v = 0; v < 256; ++v) {
            if (size[static_cast<size_t>(v)] == l) huffval.push_back(static_cast<uint8_t>(v));
        }
    }
    return true;
}

// Every column's row 28: the status, BITS and HUFFVAL, which must agree.
KernelStatus Statistics(const std::vector<int32_t>& counts, std::array<uint8_t, 16>& bits, std::array<uint8_t, 256>& huffval) {
    KernelStatus first = 0;
    for (int k = 0; k < kProcessorColumns; ++k) {
        std::array<uint8_t, 16> b;
        std::array<uint8_t, 256> h;
        b.fill(0xEE);
        h.fill(0xEE);
        const KernelStatus s = kKernelDispatchTable.Row<KernelRow::HuffmanTableFromStatistics>()[k](counts.data(), b.data(), h.data());
        if (k == 0) {
            first = s;
            bits = b;
            huffval = h;
        }
        EXPECT_EQ(s, first);
        EXPECT_EQ(b, bits);
        EXPECT_EQ(h, huffval);
    }
    return first;
}

TEST(Row28, ExamplesModelAndRefusals) {
    auto counts = [](std::initializer_list<std::pair<int, int32_t>> used) {
        std::vector<int32_t> c(257, 0);
        for (auto [symbol, count] : used) c[static_cast<size_t>(symbol)] = count;
        return c;
    };
    std::vector<int32_t> fibonacci16(257, 0), fibonacci17(257, 0), fibonacci32(257, 0), fibonacci33(257, 0);
    for (auto* f : {&fibonacci16, &fibonacci17, &fibonacci32, &fibonacci33}) {
        const int n = f == &fibonacci16 ? 16 : f == &fibonacci17 ? 17 : f == &fibonacci32 ? 32 : 33;
        int32_t a = 1, b = 2;
        for (int i = 0; i < n; ++i, std::swap(a, b), b += a) (*f)[static_cast<size_t>(i)] = a;
    }
    std::vector<int32_t> all(257, 1), oneLarge(257, 1);
    oneLarge[0] = 100000;
    std::vector<uint8_t> descending16(16), descending17(17), ascending(256);
    std::iota(descending16.rbegin(), descending16.rend(), 0);
    std::iota(descending17.rbegin(), descending17.rend(), 0);
    std::iota(ascending.begin(), ascending.end(), 0);
    struct Example {
        std::vector<int32_t> counts;
        KernelStatus status;
        std::array<uint8_t, 16> bits;
        std::vector<uint8_t> huffval;
    };
    const Example examples[] = {
        {counts({{65, 7}}), kKernelOk, {1}, {65}},
        {counts({{10, 5}, {20, 5}}), kKernelOk, {1, 1}, {10, 20}},
        {counts({{0, 5}, {1, 5}}), kKernelOk, {1, 1}, {0, 1}},
        {counts({{0, 3}, {1, 1}, {2, 1}, {3, 2}}), kKernelOk, {1, 1, 1, 1}, {0, 3, 1, 2}},
        {all, kKernelOk, {0, 0, 0, 0, 0, 0, 0, 255, 1}, ascending},
        {oneLarge, kKernelOk, {1, 0, 0, 0, 0, 0, 0, 0, 255}, ascending},
        {fibonacci16, kKernelOk, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, descending16},
        {fibonacci17, kKernelOk, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 3}, descending17},
        {fibonacci33, kKernelTooManyCodes, {}, {}},
        {counts({}), kKernelOutOfRange, {}, {}},
        {counts({{3, 4}, {9, -1}}), kKernelOutOfRange, {}, {}},
        {counts({{3, 600000000}, {9, 400000000}}), kKernelOutOfRange, {}, {}},
    };
    for (const Example& e : examples) {
        std::array<uint8_t, 16> bits;
        std::array<uint8_t, 256> huffval;
        ASSERT_EQ(Statistics(e.counts, bits, huffval), e.status);
        if (e.status != kKernelOk) {
            // Nothing written.
            EXPECT_TRUE(std::all_of(bits.begin(), bits.end(), [](uint8_t b) { return b == 0xEE; }));
            EXPECT_TRUE(std::all_of(huffval.begin(), huffval.end(), [](uint8_t b) { return b == 0xEE; }));
            continue;
        }
        EXPECT_EQ(bits, e.bits);
        EXPECT_TRUE(std::equal(e.huffval.begin(), e.huffval.end(), huffval.begin()));
        if (e.huffval.size() < 256) {
            EXPECT_EQ(huffval[e.huffval.size()], 0xEE);  // nothing past n
        }
    }
    // Fibonacci counts on 32 symbols reach 32 bits and still succeed.
    std::array<uint8_t, 16> bits;
    std::array<uint8_t, 256> huffval;
    EXPECT_EQ(Statistics(fibonacci32, bits, huffval), kKernelOk);
    // Random counts against the model; count 256 never matters.
    std::mt19937 rng(28);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<int32_t> c(257, 0);
        const int used = 1 + static_cast<int>(rng() % 256);
        for (int i = 0; i < used; ++i) c[rng() % 256] = static_cast<int32_t>(rng() % (trial % 2 ? 5 : 3000000));
        c[rng() % 256] = 1;
        c[256] = static_cast<int32_t>(rng());
        std::array<uint8_t, 16> expectedBits;
        std::vector<uint8_t> expectedValues;
        ASSERT_TRUE(ModelStatistics(std::vector<int64_t>(c.begin(), c.end()), expectedBits, expectedValues));
        ASSERT_EQ(Statistics(c, bits, huffval), kKernelOk);
        ASSERT_EQ(bits, expectedBits) << trial;
        ASSERT_TRUE(std::equal(expectedValues.begin(), expectedValues.end(), huffval.begin())) << trial;
    }
    EXPECT_EQ(kKernelDispatchTable.Row<KernelRow::HuffmanTableFromStatistics>()[2](nullptr, bits.data(), huffval.data()),
              kKernelNullPointer);
}

}  // namespace
}  // namespace jpegkernels
