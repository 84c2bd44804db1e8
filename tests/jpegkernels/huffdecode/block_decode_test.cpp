// Row 18 on every column: blocks written by the test encoder and
// hand-made symbol sequences, with and without room for the fast decoders,
// at every block alignment. All columns must leave the same block,
// predictor, status, stream point and (except after -2) extent.
#include <gtest/gtest.h>

#include <random>

#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::BitWriter;
using testing::ColumnResult;
using testing::EncoderCodes;
using testing::GuardedArray;
using testing::DhtTable;

constexpr KernelRow kRow = KernelRow::HuffmanDecodeBlock8x8;

struct Tables {
    DhtTable dcDht, acDht;
    HuffmanDecoderTable dc, ac;
    EncoderCodes dcCodes, acCodes;
};

// DC categories 0..15 and all 256 AC symbols, with random code lengths.
Tables MakeTables(uint32_t seed) {
    std::mt19937 rng(seed);
    Tables t;
    t.dcDht = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, 15), 16));
    t.acDht = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, 255), 16));
    EXPECT_EQ(HuffmanDecoderTableInit(t.dcDht.bits.data(), t.dcDht.huffval.data(), &t.dc), kKernelOk);
    EXPECT_EQ(HuffmanDecoderTableInit(t.acDht.bits.data(), t.acDht.huffval.data(), &t.ac), kKernelOk);
    t.dcCodes = testing::MakeCodes(t.dcDht);
    t.acCodes = testing::MakeCodes(t.acDht);
    return t;
}

const Tables& SharedTables() {
    static const Tables t = MakeTables(11);
    return t;
}

// What a row-18 call starts from.
struct Input : testing::ReaderInput {
    int16_t predictor = 0;
};

struct Outcome {
    KernelStatus status = 0;
    std::vector<int16_t> block;
    Input after;
    std::vector<uint8_t> streamPoint;
};

// One call on one column; the data sits in an allocation of its exact size
// so that the sanitizers see any read past it.
Outcome RunColumn(int column, const Input& in, const Tables& t, size_t blockOffset, bool* guardsIntact) {
    Outcome o;
    o.after = in;
    const size_t n = in.data.size();
    const auto data = testing::ExactCopy(in.data);
    GuardedArray<int16_t> block(64, blockOffset);
    for (int i = 0; i < 64; ++i) block.data()[i] = static_cast<int16_t>(0x5A5A);
    o.status = kKernelDispatchTable.Row<kRow>()[column](data.get(), static_cast<int32_t>(n), &o.after.position,
                                                         block.data(), &o.after.predictor, &o.after.marker, &t.dc,
                                                         &t.ac, &o.after.state);
    o.block = block.Values();
    *guardsIntact = block.GuardsIntact();
    o.streamPoint = testing::StreamPoint(in.data.data(), static_cast<int32_t>(n), o.after.position, o.after.marker,
                                         o.after.state);
    return o;
}

std::vector<uint8_t> Serialise(const Outcome& o) {
    std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(o.block.data()),
                               reinterpret_cast<const uint8_t*>(o.block.data() + o.block.size()));
    const auto put = [&](const void* p, size_t size) {
        bytes.insert(bytes.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + size);
    };
    put(&o.after.predictor, sizeof o.after.predictor);
    // The extent after -2 is the one result in which the columns may differ.
    if (o.status != kKernelCorruptData) put(&o.after.state.coefficientExtent, sizeof(int32_t));
    bytes.insert(bytes.end(), o.streamPoint.begin(), o.streamPoint.end());
    return bytes;
}

// Runs every column from the same input and checks that they agree; returns
// the outcomes.
std::array<Outcome, kProcessorColumns> RunAll(const Input& in, const Tables& t = SharedTables(),
                                              size_t blockOffset = 0) {
    std::array<Outcome, kProcessorColumns> outcomes;
    const auto results = testing::RunAllColumns<kRow>([&](KernelRowFunction<kRow>, int column) {
        ColumnResult r;
        outcomes[static_cast<size_t>(column)] = RunColumn(column, in, t, blockOffset, &r.guardsIntact);
        r.status = outcomes[static_cast<size_t>(column)].status;
        r.output = Serialise(outcomes[static_cast<size_t>(column)]);
        return r;
    });
    EXPECT_TRUE(testing::ColumnsAgree<kRow>(results));
    return outcomes;
}

// Bytes after a block so that the fast decoders have the room they need.
void AddRoom(std::vector<uint8_t>& data) { data.insert(data.end(), 40, 0x00); }

struct SymbolCase {
    const char* name;
    int16_t predictor;
    // Writes the block's symbols and bits.
    std::function<void(BitWriter&, const Tables&)> write;
    KernelStatus status;
    // Expected coefficients by zig-zag position (the rest 0), predictor and
    // extent.
    std::vector<std::pair<int, int16_t>> coefficients;
    int16_t predictorAfter;
    int32_t extent;
};

void WriteZrl(BitWriter& w, const Tables& t, int count) {
    for (int i = 0; i < count; ++i) w.Symbol(t.acCodes, 0xF0);
}

void WriteCoefficient(BitWriter& w, const Tables& t, int run, int16_t value) {
    const int n = testing::Category(value);
    w.Symbol(t.acCodes, run << 4 | n);
    testing::PutValue(w, value, n);
}

std::vector<int16_t> ByZigzag(const std::vector<std::pair<int, int16_t>>& coefficients) {
    std::vector<int16_t> block(64, 0);
    for (auto [k, v] : coefficients) block[testing::kZigzag[k]] = v;
    return block;
}

// The same input on every column, with and without room for the fast
// decoders, at two block alignments.
template <class Check>
void ForEachLayout(const std::vector<uint8_t>& data, const Input& base, Check check) {
    for (bool room : {false, true}) {
        for (size_t offset : {0, 3}) {
            SCOPED_TRACE(::testing::Message() << (room ? "with room" : "short window") << ", block offset " << offset);
            Input in = base;
            in.data = data;
            if (room) AddRoom(in.data);
            check(RunAll(in, SharedTables(), offset));
        }
    }
}

TEST(Row18, HandMadeBlocks) {
    const std::vector<SymbolCase> cases = {
        {"DC category 0, end of block", 123,
         [](BitWriter& w, const Tables& t) { w.Symbol(t.dcCodes, 0); w.Symbol(t.acCodes, 0x00); }, kKernelOk,
         {{0, 123}}, 123, 1},
        {"DC sum wraps at 16 bits", 32767,
         [](BitWriter& w, const Tables& t) { w.Symbol(t.dcCodes, 1); w.Put(1, 1); w.Symbol(t.acCodes, 0x00); },
         kKernelOk, {{0, -32768}}, -32768, 1},
        {"DC category 15 of all zeros", 0,
         [](BitWriter& w, const Tables& t) { w.Symbol(t.dcCodes, 15); w.Put(0, 15); w.Symbol(t.acCodes, 0x00); },
         kKernelOk, {{0, -32767}}, -32767, 1},
        {"three ZRL then end of block", 5,
         [](BitWriter& w, const Tables& t) { w.Symbol(t.dcCodes, 0); WriteZrl(w, t, 3); w.Symbol(t.acCodes, 0x00); },
         kKernelOk, {{0, 5}}, 5, 49},
        {"a ZRL that covers positions 48 to 63", 0,
         [](BitWriter& w, const Tables& t) {
             w.Symbol(t.dcCodes, 0);
             WriteZrl(w, t, 2);
             WriteCoefficient(w, t, 13, 9);   // position 46
             WriteCoefficient(w, t, 0, -40);  // position 47
             WriteZrl(w, t, 1);
         },
         kKernelOk, {{46, 9}, {47, -40}}, 0, 64},
        {"run 14 reaches position 63", 0,
         [](BitWriter& w, const Tables& t) {
             w.Symbol(t.dcCodes, 0);
             WriteZrl(w, t, 3);
             WriteCoefficient(w, t, 14, -1);
         },
         kKernelOk, {{63, -1}}, 0, 64},
        {"size 0 with a run below 15 ends the block", 7,
         [](BitWriter& w, const Tables& t) {
             w.Symbol(t.dcCodes, 0);
             WriteCoefficient(w, t, 2, -2);
             w.Symbol(t.acCodes, 0x70);
         },
         kKernelOk, {{0, 7}, {3, -2}}, 7, 4},
        {"a run past position 63", 0,
         [](BitWriter& w, const Tables& t) {
             w.Symbol(t.dcCodes, 0);
             WriteZrl(w, t, 3);
             WriteCoefficient(w, t, 15, 1);  // position 64
         },
         kKernelCorruptData, {}, 0, -1},
        {"a run into positions 64 to 71", -4,
         [](BitWriter& w, const Tables& t) {
             w.Symbol(t.dcCodes, 0);
             WriteZrl(w, t, 3);
             WriteCoefficient(w, t, 10, 1);  // position 59
             WriteCoefficient(w, t, 10, 1);  // position 70
         },
         kKernelCorruptData, {{0, -4}, {59, 1}}, -4, -1},
    };
    for (const SymbolCase& c : cases) {
        SCOPED_TRACE(c.name);
        BitWriter w;
        c.write(w, SharedTables());
        w.Flush();
        Input base;
        base.predictor = c.predictor;
        base.state.coefficientExtent = 1234;
        ForEachLayout(w.bytes, base, [&](const std::array<Outcome, kProcessorColumns>& outcomes) {
            const Outcome& o = outcomes[0];
            ASSERT_EQ(o.status, c.status);
            EXPECT_EQ(o.block, ByZigzag(c.coefficients));
            EXPECT_EQ(o.after.predictor, c.predictorAfter);
            if (c.status == kKernelOk) {
                EXPECT_EQ(o.after.state.coefficientExtent, c.extent);
            } else {
                // The general procedure leaves the extent alone; the entries
                // whose fast decoder ran first report 0.
                EXPECT_EQ(outcomes[0].after.state.coefficientExtent, 1234);
                for (size_t k = 1; k < kProcessorColumns; ++k) EXPECT_EQ(outcomes[k].after.state.coefficientExtent, 0);
            }
        });
    }
}

// 63 coded coefficients fill the block; no end of block is read after them
// and the next block starts right there.
TEST(Row18, FullBlockThenTheNextBlock) {
    const Tables& t = SharedTables();
    BitWriter w;
    std::vector<std::pair<int, int16_t>> first = {{0, -3}};
    w.Symbol(t.dcCodes, 2);
    w.Put(0, 2);  // -3
    for (int k = 1; k < 64; ++k) {
        const int16_t v = static_cast<int16_t>(k % 2 ? 3 * k : -k);
        WriteCoefficient(w, t, 0, v);
        first.push_back({k, v});
    }
    w.Symbol(t.dcCodes, 0);
    w.Symbol(t.acCodes, 0x00);
    w.Flush();
    ForEachLayout(w.bytes, Input{}, [&](const std::array<Outcome, kProcessorColumns>& outcomes) {
        const Outcome& o = outcomes[0];
        ASSERT_EQ(o.status, kKernelOk);
        EXPECT_EQ(o.block, ByZigzag(first));
        EXPECT_EQ(o.after.state.coefficientExtent, 64);
        const auto second = RunAll(o.after);
        EXPECT_EQ(second[0].status, kKernelOk);
        EXPECT_EQ(second[0].block, ByZigzag({{0, -3}}));
        EXPECT_EQ(second[0].after.state.coefficientExtent, 1);
    });
}

// A restart marker inside the bits of a block: every column stops with -63
// and the marker recorded; a marker recorded before the call lets the bits
// already buffered decode.
TEST(Row18, MarkersStopTheData) {
    const Tables& t = SharedTables();
    BitWriter w;
    w.Symbol(t.dcCodes, 4);
    w.Put(9, 4);
    WriteCoefficient(w, t, 0, 100);
    WriteCoefficient(w, t, 5, -7);
    w.Marker(0xD5);
    w.Raw({0x12, 0x34});
    ForEachLayout(w.bytes, Input{}, [&](const std::array<Outcome, kProcessorColumns>& outcomes) {
        const Outcome& o = outcomes[0];
        EXPECT_EQ(o.status, kKernelNoCode);
        EXPECT_EQ(o.after.marker, 0xD5u);
        EXPECT_EQ(o.after.predictor, 9);
        EXPECT_EQ(o.block, ByZigzag({{0, 9}, {1, 100}, {7, -7}}));
    });

    // DC category 0 and end of block, already buffered, marker recorded.
    BitWriter b;
    b.Symbol(t.dcCodes, 0);
    b.Symbol(t.acCodes, 0x00);
    b.Symbol(t.dcCodes, 0);
    b.Flush();
    Input in;
    in.data = std::vector<uint8_t>(40, 0x00);
    in.marker = 0xD1;
    for (uint8_t byte : b.bytes) {
        if (byte == 0x00 && in.state.bitCount > 0 && (in.state.bitBuffer & 0xFF) == 0xFF) continue;
        in.state.bitBuffer = in.state.bitBuffer << 8 | byte;
        in.state.bitCount += 8;
    }
    ASSERT_LE(in.state.bitCount, 32);
    in.predictor = 17;
    const auto first = RunAll(in);
    EXPECT_EQ(first[0].status, kKernelOk);
    EXPECT_EQ(first[0].block, ByZigzag({{0, 17}}));
    const auto second = RunAll(first[0].after);
    EXPECT_EQ(second[0].status, kKernelNoCode);
    EXPECT_EQ(second[0].after.marker, 0xD1u);
}

// The data ends inside a block, or right after an 0xFF.
TEST(Row18, TheDataEnds) {
    const Tables& t = SharedTables();
    BitWriter w;
    w.Symbol(t.dcCodes, 3);
    w.Put(5, 3);
    WriteCoefficient(w, t, 0, 1000);
    WriteCoefficient(w, t, 0, 1000);
    WriteCoefficient(w, t, 0, 1000);
    w.Flush();
    for (size_t cut = 0; cut < w.bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        Input in;
        in.data.assign(w.bytes.begin(), w.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        in.predictor = 1;
        const auto outcomes = RunAll(in);
        EXPECT_EQ(outcomes[0].status, kKernelDataEnded);
        in.data.push_back(0xFF);
        const auto withFF = RunAll(in);
        EXPECT_EQ(withFF[0].status, kKernelDataEnded);
        EXPECT_EQ(withFF[0].after.position, cut + 1);
    }
}

TEST(Row18, ArgumentChecksComeFirst) {
    const Tables& t = SharedTables();
    const uint8_t data[4] = {0, 0, 0, 0};
    for (int k = 0; k < kProcessorColumns; ++k) {
        SCOPED_TRACE(k);
        const auto f = kKernelDispatchTable.Row<kRow>()[k];
        uint32_t position = 0;
        MarkerWord marker = 0;
        HuffmanDecoderState state{};
        state.coefficientExtent = 9;
        int16_t block[64], predictor = 3;
        std::fill(std::begin(block), std::end(block), 44);
        EXPECT_EQ(f(nullptr, -1, &position, block, &predictor, &marker, &t.dc, &t.ac, &state), kKernelNullPointer);
        EXPECT_EQ(f(data, -1, nullptr, block, &predictor, &marker, &t.dc, &t.ac, &state), kKernelOutOfRange);
        EXPECT_EQ(f(data, 4, &position, nullptr, &predictor, &marker, &t.dc, &t.ac, &state), kKernelNullPointer);
        EXPECT_EQ(f(data, 4, &position, block, nullptr, &marker, &t.dc, &t.ac, &state), kKernelNullPointer);
        EXPECT_EQ(f(data, 4, &position, block, &predictor, nullptr, &t.dc, &t.ac, &state), kKernelNullPointer);
        EXPECT_EQ(f(data, 4, &position, block, &predictor, &marker, nullptr, &t.ac, &state), kKernelNullPointer);
        EXPECT_EQ(f(data, 4, &position, block, &predictor, &marker, &t.dc, nullptr, &state), kKernelNullPointer);
        EXPECT_EQ(f(data, 4, &position, block, &predictor, &marker, &t.dc, &t.ac, nullptr), kKernelNullPointer);
        for (int16_t v : block) ASSERT_EQ(v, 44);
        EXPECT_EQ(predictor, 3);
        EXPECT_EQ(state.coefficientExtent, 9);
        // An empty window is valid: the data has simply ended.
        EXPECT_EQ(f(data, 0, &position, block, &predictor, &marker, &t.dc, &t.ac, &state), kKernelDataEnded);
    }
}

// Random blocks with random tables, decoded block after block: every column
// gives back the encoded coefficients, block for block.
TEST(Row18, RandomStreamsDecodeOnEveryColumn) {
    std::mt19937 rng(23);
    int stuffedPairs = 0;
    for (int trial = 0; trial < 12; ++trial) {
        const Tables t = MakeTables(100 + static_cast<uint32_t>(trial));
        std::vector<std::vector<int16_t>> blocks;
        BitWriter w;
        int16_t encoderPredictor = 0;
        for (int b = 0; b < 40; ++b) {
            std::vector<int16_t> block(64, 0);
            const int density = static_cast<int>(rng() % 64);
            const int magnitude = 1 << (rng() % 15);
            for (int i = 0; i < 64; ++i) {
                if (static_cast<int>(rng() % 64) < density) {
                    block[static_cast<size_t>(i)] = static_cast<int16_t>(static_cast<int>(rng() % (2 * magnitude + 1)) - magnitude);
                }
            }
            block[0] = static_cast<int16_t>(static_cast<int>(rng() % 4001) - 2000);
            testing::EncodeBlock(w, block.data(), encoderPredictor, t.dcCodes, t.acCodes);
            blocks.push_back(block);
        }
        w.Flush();
        stuffedPairs += testing::StuffedPairs(w.bytes);
        Input in;
        in.data = w.bytes;
        for (size_t b = 0; b < blocks.size(); ++b) {
            SCOPED_TRACE(::testing::Message() << "trial " << trial << " block " << b);
            const auto outcomes = RunAll(in, t, b % 8);
            ASSERT_EQ(outcomes[0].status, kKernelOk);
            ASSERT_EQ(outcomes[0].block, blocks[b]);
            // Go on from a column with a fast decoder, whose split of bits
            // and position may differ from the general procedure's.
            in = outcomes[b % kProcessorColumns].after;
            in.data = w.bytes;
        }
    }
    EXPECT_GT(stuffedPairs, 10);
}

// On ordinary data with room, the fast decoders decode every block
// themselves, and give the general procedure's results.
TEST(Row18, FastDecodersTakeOrdinaryBlocks) {
    const decltype(&HuffmanDecodeBlockFast_Mmx) fast[] = {HuffmanDecodeBlockFast_Mmx, HuffmanDecodeBlockFast_Sse2,
                                                          HuffmanDecodeBlockFast_Sse3, HuffmanDecodeBlockFast_Ssse3,
                                                          HuffmanDecodeBlockFast_Sse41};
    std::mt19937 rng(4);
    const Tables t = MakeTables(77);
    BitWriter w;
    std::vector<std::vector<int16_t>> blocks;
    int16_t encoderPredictor = 0;
    for (int b = 0; b < 300; ++b) {
        std::vector<int16_t> block(64, 0);
        for (int i = 0; i < 64; ++i) {
            if (rng() % 3 == 0) block[static_cast<size_t>(i)] = static_cast<int16_t>(static_cast<int>(rng() % 601) - 300);
        }
        if (b % 7 == 0) block[63] = 5;  // no end of block
        testing::EncodeBlock(w, block.data(), encoderPredictor, t.dcCodes, t.acCodes);
        blocks.push_back(block);
    }
    w.Flush();
    AddRoom(w.bytes);
    for (auto decode : fast) {
        uint32_t position = 0;
        MarkerWord marker = 0;
        HuffmanDecoderState state{};
        int16_t predictor = 0;
        for (size_t b = 0; b < blocks.size(); ++b) {
            int16_t block[64];
            ASSERT_EQ(decode(w.bytes.data(), static_cast<int32_t>(w.bytes.size()), &position, block, &predictor,
                             &marker, &t.dc, &t.ac, &state),
                      kKernelOk)
                << b;
            ASSERT_EQ(std::vector<int16_t>(block, block + 64), blocks[b]) << b;
            ASSERT_LE(state.bitCount, 32);
        }
    }
}

// A stuffed pair, fill bytes before a stuffed pair, a marker, a lone 0xFF or
// the end of the data at every position of the first refill windows: block
// after block, every column gives the same blocks, statuses and stream
// points, each going on from the state the first column left.
TEST(Row18, SpecialBytesAtEveryPositionOfTheRefillWindows) {
    const Tables& t = SharedTables();
    std::mt19937 rng(31);
    BitWriter w;
    int16_t encoderPredictor = 0;
    for (int b = 0; b < 6; ++b) {
        int16_t block[64] = {};
        for (int i = 0; i < 64; ++i) {
            if (rng() % 4 == 0) block[i] = static_cast<int16_t>(static_cast<int>(rng() % 201) - 100);
        }
        testing::EncodeBlock(w, block, encoderPredictor, t.dcCodes, t.acCodes);
    }
    w.Flush();
    const std::vector<std::vector<uint8_t>> specials = {{0xFF, 0x00}, {0xFF, 0xFF, 0x00}, {0xFF, 0xD3}, {0xFF}, {}};
    for (size_t at = 0; at <= std::min<size_t>(w.bytes.size(), 40); ++at) {
        for (size_t kind = 0; kind < specials.size(); ++kind) {
            SCOPED_TRACE(::testing::Message() << "position " << at << " kind " << kind);
            Input in;
            in.data.assign(w.bytes.begin(), w.bytes.begin() + static_cast<std::ptrdiff_t>(at));
            in.data.insert(in.data.end(), specials[kind].begin(), specials[kind].end());
            // The last kind ends the data there.
            if (kind + 1 < specials.size()) {
                in.data.insert(in.data.end(), w.bytes.begin() + static_cast<std::ptrdiff_t>(at), w.bytes.end());
                AddRoom(in.data);
            }
            const std::vector<uint8_t> data = in.data;
            for (int b = 0; b < 6; ++b) {
                const auto outcomes = RunAll(in);
                if (outcomes[0].status != kKernelOk) break;
                in = outcomes[0].after;
                in.data = data;
            }
        }
    }
}

// A position past the end of the window is never room for a fast decoder:
// every column reads nothing and reports that the data has ended.
TEST(Row18, APositionPastTheEndReadsNothing) {
    for (uint32_t position : {41u, 1000u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        SCOPED_TRACE(position);
        Input in;
        in.data.assign(40, 0x00);
        in.position = position;
        const auto outcomes = RunAll(in);
        EXPECT_EQ(outcomes[0].status, kKernelDataEnded);
        EXPECT_EQ(outcomes[0].after.position, position);
    }
}

}  // namespace
}  // namespace jpegkernels
