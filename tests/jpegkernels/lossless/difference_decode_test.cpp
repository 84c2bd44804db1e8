// Rows 19 and 20 on every column: lossless differences of every category,
// byte stuffing, markers and the end of the data, up to and past four
// components. All columns must leave the same differences, status and
// stream point.
#include <gtest/gtest.h>

#include <random>

#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "jpegkernels/lossless/lossless_kernels.h"
#include "tests/jpegkernels/column_harness.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

using testing::BitWriter;
using testing::ColumnResult;
using testing::EncoderCodes;
using testing::DhtTable;

struct Table {
    DhtTable dht;
    HuffmanDecoderTable decoder;
    EncoderCodes codes;
};

// Categories 0..16 (and, with extra, symbols up to 20) with random lengths.
Table MakeTable(uint32_t seed, int lastSymbol = 16) {
    std::mt19937 rng(seed);
    Table t;
    t.dht = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, lastSymbol), 16));
    EXPECT_EQ(HuffmanDecoderTableInit(t.dht.bits.data(), t.dht.huffval.data(), &t.decoder), kKernelOk);
    t.codes = testing::MakeCodes(t.dht);
    return t;
}

using Input = testing::ReaderInput;

// A row-20 call: columns x components differences into rows of their own.
struct RowOutcome {
    KernelStatus status = 0;
    std::vector<std::vector<uint16_t>> rows;
    Input after;
};

RowOutcome RunRow(int column, const Input& in, const std::vector<const Table*>& tables, int32_t columns,
                  int32_t components, bool* guardsIntact) {
    RowOutcome o;
    o.after = in;
    const auto data = testing::ExactCopy(in.data);
    std::vector<testing::GuardedArray<uint16_t>> rows;
    for (int32_t c = 0; c < components; ++c) rows.emplace_back(static_cast<size_t>(columns), static_cast<size_t>(c % 8));
    std::vector<uint16_t*> outputs;
    std::vector<const HuffmanDecoderTable*> decoders;
    for (int32_t c = 0; c < components; ++c) {
        std::fill(rows[static_cast<size_t>(c)].data(), rows[static_cast<size_t>(c)].data() + columns, 0xEEEE);
        outputs.push_back(rows[static_cast<size_t>(c)].data());
        decoders.push_back(&tables[static_cast<size_t>(c) % tables.size()]->decoder);
    }
    o.status = kKernelDispatchTable.Row<KernelRow::LosslessDecodeRow>()[column](
        data.get(), static_cast<int32_t>(in.data.size()), &o.after.position, outputs.data(), columns, components,
        &o.after.marker, decoders.data(), &o.after.state);
    *guardsIntact = true;
    for (auto& r : rows) {
        o.rows.push_back(r.Values());
        *guardsIntact = *guardsIntact && r.GuardsIntact();
    }
    return o;
}

std::vector<uint8_t> StreamPointOf(const Input& in, const Input& after) {
    return testing::StreamPoint(in.data.data(), static_cast<int32_t>(in.data.size()), after.position, after.marker,
                                after.state);
}

std::array<RowOutcome, kProcessorColumns> RunRowAll(const Input& in, const std::vector<const Table*>& tables,
                                                    int32_t columns, int32_t components) {
    std::array<RowOutcome, kProcessorColumns> outcomes;
    const auto results = testing::RunAllColumns<KernelRow::LosslessDecodeRow>([&](auto, int column) {
        ColumnResult r;
        RowOutcome& o = outcomes[static_cast<size_t>(column)];
        o = RunRow(column, in, tables, columns, components, &r.guardsIntact);
        r.status = o.status;
        for (const auto& row : o.rows) {
            r.output.insert(r.output.end(), reinterpret_cast<const uint8_t*>(row.data()),
                            reinterpret_cast<const uint8_t*>(row.data() + row.size()));
        }
        const auto point = StreamPointOf(in, o.after);
        r.output.insert(r.output.end(), point.begin(), point.end());
        return r;
    });
    EXPECT_TRUE(testing::ColumnsAgree<KernelRow::LosslessDecodeRow>(results));
    return outcomes;
}

// Row 19, one difference per call, on every column.
struct DiffOutcome {
    KernelStatus status = 0;
    uint16_t difference = 0;
    Input after;
};

std::array<DiffOutcome, kProcessorColumns> RunDiffAll(const Input& in, const Table& table) {
    std::array<DiffOutcome, kProcessorColumns> outcomes;
    const auto results = testing::RunAllColumns<KernelRow::HuffmanDecodeOneDiff>([&](auto entry, int column) {
        DiffOutcome& o = outcomes[static_cast<size_t>(column)];
        o.after = in;
        const auto data = testing::ExactCopy(in.data);
        o.difference = 0xEEEE;
        o.status = entry(data.get(), static_cast<int32_t>(in.data.size()), &o.after.position, &o.difference,
                         &o.after.marker, &table.decoder, &o.after.state);
        ColumnResult r;
        r.status = o.status;
        r.output = StreamPointOf(in, o.after);
        r.output.push_back(static_cast<uint8_t>(o.difference));
        r.output.push_back(static_cast<uint8_t>(o.difference >> 8));
        return r;
    });
    EXPECT_TRUE(testing::ColumnsAgree<KernelRow::HuffmanDecodeOneDiff>(results));
    return outcomes;
}

// Differences covering every category, both signs, the extremes of each.
std::vector<uint16_t> EveryCategory() {
    std::vector<uint16_t> d = {0, 0x8000};
    for (int n = 1; n <= 15; ++n) {
        const int lo = 1 << (n - 1), hi = (1 << n) - 1;
        for (int v : {lo, hi, -lo, -hi}) d.push_back(static_cast<uint16_t>(v));
    }
    return d;
}

TEST(Row19And20, EveryCategoryOnEveryColumn) {
    const Table t = MakeTable(3);
    const std::vector<uint16_t> differences = EveryCategory();
    BitWriter w;
    for (uint16_t d : differences) testing::EncodeDifference(w, d, t.codes);
    w.Flush();
    for (bool room : {false, true}) {
        SCOPED_TRACE(room ? "with room" : "short window");
        Input in;
        in.data = w.bytes;
        if (room) in.data.insert(in.data.end(), 40, 0x00);
        // Row 20, one component.
        const auto rows = RunRowAll(in, {&t}, static_cast<int32_t>(differences.size()), 1);
        ASSERT_EQ(rows[0].status, kKernelOk);
        EXPECT_EQ(rows[0].rows[0], differences);
        // Row 19, one at a time, going on from the column with the fast kernel.
        Input next = in;
        for (size_t i = 0; i < differences.size(); ++i) {
            const auto one = RunDiffAll(next, t);
            ASSERT_EQ(one[0].status, kKernelOk) << i;
            ASSERT_EQ(one[0].difference, differences[i]) << i;
            next = one[5].after;
            next.data = in.data;
        }
    }
}

TEST(Row19And20, SymbolsAbove16AndShortSymbols) {
    // Symbols 17 to 20 give 32768 like category 16, with no extra bits.
    const Table t = MakeTable(8, 20);
    BitWriter w;
    for (int s : {17, 0, 20, 1}) {
        w.Symbol(t.codes, s);
        if (s == 1) w.Put(0, 1);  // -1
    }
    w.Flush();
    Input in;
    in.data = w.bytes;
    const auto rows = RunRowAll(in, {&t}, 4, 1);
    ASSERT_EQ(rows[0].status, kKernelOk);
    EXPECT_EQ(rows[0].rows[0], (std::vector<uint16_t>{0x8000, 0, 0x8000, 0xFFFF}));
}

TEST(Row20, ComponentsInterleaveAndAFifthIsIgnored) {
    const Table a = MakeTable(21), b = MakeTable(22), c = MakeTable(23), d = MakeTable(24);
    const std::vector<const Table*> tables = {&a, &b, &c, &d};
    std::mt19937 rng(6);
    for (int32_t components : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(components);
        const int32_t columns = 37;
        const int32_t coded = std::min(components, 4);
        std::vector<std::vector<uint16_t>> expected(static_cast<size_t>(coded));
        BitWriter w;
        for (int32_t x = 0; x < columns; ++x) {
            for (int32_t k = 0; k < coded; ++k) {
                const uint16_t v = static_cast<uint16_t>(static_cast<int>(rng() % 2001) - 1000);
                expected[static_cast<size_t>(k)].push_back(v);
                testing::EncodeDifference(w, v, tables[static_cast<size_t>(k)]->codes);
            }
        }
        w.Flush();
        Input in;
        in.data = w.bytes;
        in.data.insert(in.data.end(), 16, 0x00);
        const auto rows = RunRowAll(in, tables, columns, components);
        ASSERT_EQ(rows[0].status, kKernelOk);
        for (int32_t k = 0; k < coded; ++k) EXPECT_EQ(rows[0].rows[static_cast<size_t>(k)], expected[static_cast<size_t>(k)]);
        if (components == 5) {
            EXPECT_EQ(rows[0].rows[4], std::vector<uint16_t>(static_cast<size_t>(columns), 0xEEEE));
        }
    }
}

// Long rows, which the fast kernels decode through joined tables of code
// and extra bits: one to four components, with tables of their own or
// shared, differences of every size (some beyond the joined bits, codes
// above 8 bits, category 16), starting from buffered bits.
TEST(Row20, LongRowsDecodeOnEveryColumn) {
    const Table a = MakeTable(61, 20), b = MakeTable(62), c = MakeTable(63, 18);
    struct Case {
        std::vector<const Table*> tables;
        int32_t columns;
    };
    const Case cases[] = {{{&a}, 700},         {{&b}, 512},           {{&a, &b}, 300},
                          {{&c, &a, &c}, 200}, {{&b, &b, &b, &b}, 130}, {{&a, &b, &c, &a}, 128}};
    std::mt19937 rng(12);
    for (const Case& k : cases) {
        const int32_t components = static_cast<int32_t>(k.tables.size());
        SCOPED_TRACE(::testing::Message() << components << " components, " << k.columns << " columns");
        std::vector<std::vector<uint16_t>> expected(static_cast<size_t>(components));
        BitWriter w;
        for (int32_t x = 0; x < k.columns; ++x) {
            for (int32_t i = 0; i < components; ++i) {
                const uint32_t r = rng();
                const int category = r % 16 == 0 ? 16 : static_cast<int>((r >> 4) % (r % 3 == 0 ? 16 : 6));
                uint16_t v = 0;
                if (category == 16) {
                    v = 0x8000;
                } else if (category > 0) {
                    const int magnitude = (1 << (category - 1)) + static_cast<int>((r >> 8) % (1u << (category - 1)));
                    v = static_cast<uint16_t>((r >> 24) & 1 ? magnitude : -magnitude);
                }
                expected[static_cast<size_t>(i)].push_back(v);
                testing::EncodeDifference(w, v, k.tables[static_cast<size_t>(i)]->codes);
            }
        }
        w.Flush();
        // The first byte already in the bit buffer, as a previous call may
        // leave it.
        Input in;
        in.data.assign(w.bytes.begin() + (w.bytes[0] == 0xFF ? 2 : 1), w.bytes.end());
        in.state.bitBuffer = w.bytes[0];
        in.state.bitCount = 8;
        // Room for the fast kernels, which want two bytes a difference.
        in.data.insert(in.data.end(), 2 * static_cast<size_t>(k.columns) * k.tables.size(), 0x00);
        const auto rows = RunRowAll(in, k.tables, k.columns, components);
        ASSERT_EQ(rows[0].status, kKernelOk);
        EXPECT_EQ(rows[0].rows, expected);
        // The fast kernels decode these rows themselves.
        std::vector<const HuffmanDecoderTable*> decoders;
        for (const Table* t : k.tables) decoders.push_back(&t->decoder);
        for (auto fast : {LosslessDecodeRowFast_Sse2, LosslessDecodeRowFast_Ssse3, LosslessDecodeRowFast_Sse41}) {
            std::vector<std::vector<uint16_t>> out(expected.size(), std::vector<uint16_t>(expected[0].size()));
            std::vector<uint16_t*> outputs;
            for (auto& row : out) outputs.push_back(row.data());
            Input after = in;
            const int32_t size = static_cast<int32_t>(in.data.size());
            ASSERT_EQ(fast(in.data.data(), size, &after.position, outputs.data(), k.columns, components, &after.marker,
                           decoders.data(), &after.state),
                      kKernelOk);
            EXPECT_EQ(out, expected);
            EXPECT_EQ(StreamPointOf(in, after), StreamPointOf(in, rows[0].after));
        }
    }
}

// A stuffed pair, fill bytes, a marker, a lone 0xFF or the end of the data
// at every position of the first refill windows of a short and of a long
// row: every column gives the same differences, status and stream point.
TEST(Row20, SpecialBytesAtEveryPositionOfTheRefillWindows) {
    const Table t = MakeTable(71);
    std::mt19937 rng(13);
    BitWriter w;
    for (int i = 0; i < 600; ++i) {
        testing::EncodeDifference(w, static_cast<uint16_t>(static_cast<int>(rng() % 301) - 150), t.codes);
    }
    w.Flush();
    const std::vector<std::vector<uint8_t>> specials = {{0xFF, 0x00}, {0xFF, 0xFF, 0x00}, {0xFF, 0xD3}, {0xFF}, {}};
    for (int32_t columns : {40, 600}) {
        for (size_t at = 0; at <= 40; ++at) {
            for (size_t kind = 0; kind < specials.size(); ++kind) {
                SCOPED_TRACE(::testing::Message() << columns << " columns, position " << at << " kind " << kind);
                Input in;
                in.data.assign(w.bytes.begin(), w.bytes.begin() + static_cast<std::ptrdiff_t>(at));
                in.data.insert(in.data.end(), specials[kind].begin(), specials[kind].end());
                if (kind + 1 < specials.size()) {
                    in.data.insert(in.data.end(), w.bytes.begin() + static_cast<std::ptrdiff_t>(at), w.bytes.end());
                    in.data.insert(in.data.end(), 2 * static_cast<size_t>(columns), 0x00);
                }
                RunRowAll(in, {&t}, columns, 1);
            }
        }
    }
}

// A marker or the end of the data inside the row: every column reports the
// bit reader's status, with the columns decoded so far written.
TEST(Row19And20, MarkersAndTheEndOfTheData) {
    const Table t = MakeTable(31);
    std::mt19937 rng(9);
    std::vector<uint16_t> differences;
    BitWriter w;
    for (int i = 0; i < 60; ++i) {
        differences.push_back(static_cast<uint16_t>(rng()));
        testing::EncodeDifference(w, differences.back(), t.codes);
    }
    w.Marker(0xD6);
    w.Raw({0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55});
    Input in;
    in.data = w.bytes;
    const auto rows = RunRowAll(in, {&t}, 61, 1);
    EXPECT_EQ(rows[0].status, kKernelNoCode);
    EXPECT_EQ(rows[0].after.marker, 0xD6u);
    EXPECT_TRUE(std::equal(differences.begin(), differences.end(), rows[0].rows[0].begin()));

    for (size_t cut : {size_t{1}, w.bytes.size() / 3, w.bytes.size() / 2}) {
        SCOPED_TRACE(cut);
        Input cutIn;
        cutIn.data.assign(w.bytes.begin(), w.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(RunRowAll(cutIn, {&t}, 60, 1)[0].status, kKernelDataEnded);
        // Ending in 0xFF: row 19 decodes what it can, then the data has
        // ended with the 0xFF consumed.
        cutIn.data.push_back(0xFF);
        Input next = cutIn;
        KernelStatus status = kKernelOk;
        for (int i = 0; i < 60 && status == kKernelOk; ++i) {
            const auto one = RunDiffAll(next, t);
            status = one[0].status;
            next = one[0].after;
            next.data = cutIn.data;
        }
        EXPECT_EQ(status, kKernelDataEnded);
        EXPECT_EQ(next.position, cut + 1);
    }
}

TEST(Row19And20, RandomRowsAgreeOnEveryColumn) {
    std::mt19937 rng(12);
    int stuffed = 0;
    for (int trial = 0; trial < 40; ++trial) {
        const Table a = MakeTable(200 + static_cast<uint32_t>(trial)), b = MakeTable(300 + static_cast<uint32_t>(trial));
        const int32_t components = 1 + static_cast<int32_t>(rng() % 4);
        const int32_t columns = 1 + static_cast<int32_t>(rng() % 70);
        const int spread = 1 << (rng() % 16);
        BitWriter w;
        const std::vector<const Table*> tables = {&a, &b};
        for (int row = 0; row < 6; ++row) {
            for (int32_t x = 0; x < columns; ++x) {
                for (int32_t k = 0; k < components; ++k) {
                    const uint16_t v = static_cast<uint16_t>(static_cast<int>(rng() % (2 * spread + 1)) - spread);
                    testing::EncodeDifference(w, v, tables[static_cast<size_t>(k) % 2]->codes);
                }
            }
        }
        w.Flush();
        stuffed += testing::StuffedPairs(w.bytes);
        Input in;
        in.data = w.bytes;
        for (int row = 0; row < 6; ++row) {
            SCOPED_TRACE(::testing::Message() << "trial " << trial << " row " << row);
            const auto rows = RunRowAll(in, tables, columns, components);
            ASSERT_EQ(rows[0].status, kKernelOk);
            in = rows[static_cast<size_t>(row) % kProcessorColumns].after;
            in.data = w.bytes;
        }
    }
    EXPECT_GT(stuffed, 10);
}

TEST(Row19And20, ArgumentChecks) {
    const Table t = MakeTable(1);
    const uint8_t data[4] = {};
    for (int k = 0; k < kProcessorColumns; ++k) {
        SCOPED_TRACE(k);
        uint32_t position = 0;
        MarkerWord marker = 0;
        HuffmanDecoderState state{};
        uint16_t out = 7;
        const auto one = kKernelDispatchTable.Row<KernelRow::HuffmanDecodeOneDiff>()[k];
        EXPECT_EQ(one(nullptr, 0, &position, &out, &marker, &t.decoder, &state), kKernelNullPointer);
        EXPECT_EQ(one(data, 0, nullptr, &out, &marker, &t.decoder, &state), kKernelSizeBelowOne);
        EXPECT_EQ(one(data, 4, nullptr, &out, &marker, &t.decoder, &state), kKernelNullPointer);
        EXPECT_EQ(one(data, 4, &position, nullptr, &marker, &t.decoder, &state), kKernelNullPointer);
        EXPECT_EQ(one(data, 4, &position, &out, nullptr, &t.decoder, &state), kKernelNullPointer);
        EXPECT_EQ(one(data, 4, &position, &out, &marker, nullptr, &state), kKernelNullPointer);
        EXPECT_EQ(one(data, 4, &position, &out, &marker, &t.decoder, nullptr), kKernelNullPointer);
        EXPECT_EQ(out, 7);

        const auto row = kKernelDispatchTable.Row<KernelRow::LosslessDecodeRow>()[k];
        uint16_t a[4] = {1, 1, 1, 1}, b[4] = {2, 2, 2, 2};
        uint16_t* outputs[5] = {a, b, a, b, nullptr};
        const HuffmanDecoderTable* tables[5] = {&t.decoder, &t.decoder, &t.decoder, &t.decoder, nullptr};
        EXPECT_EQ(row(nullptr, 0, &position, outputs, 4, 1, &marker, tables, &state), kKernelNullPointer);
        EXPECT_EQ(row(data, 0, nullptr, outputs, 4, 1, &marker, tables, &state), kKernelSizeBelowOne);
        EXPECT_EQ(row(data, 4, &position, nullptr, 0, 1, &marker, tables, &state), kKernelNullPointer);
        EXPECT_EQ(row(data, 4, &position, outputs, 0, 1, nullptr, tables, &state), kKernelSizeBelowOne);
        EXPECT_EQ(row(data, 4, &position, outputs, 4, 0, &marker, tables, &state), kKernelSizeBelowOne);
        EXPECT_EQ(row(data, 4, &position, outputs, 4, 1, nullptr, tables, &state), kKernelNullPointer);
        EXPECT_EQ(row(data, 4, &position, outputs, 4, 1, &marker, nullptr, &state), kKernelNullPointer);
        EXPECT_EQ(row(data, 4, &position, outputs, 4, 1, &marker, tables, nullptr), kKernelNullPointer);
        tables[1] = nullptr;
        EXPECT_EQ(row(data, 4, &position, outputs, 4, 2, &marker, tables, &state), kKernelNullPointer);
        tables[1] = &t.decoder;
        outputs[2] = nullptr;
        EXPECT_EQ(row(data, 4, &position, outputs, 4, 3, &marker, tables, &state), kKernelNullPointer);
        EXPECT_EQ(a[0], 1);
        EXPECT_EQ(position, 0u);
    }
}

// The fast kernels on their own: they decline whatever they do not handle
// and commit nothing then.
TEST(FastDifferenceKernels, DeclineWithoutCommitting) {
    const Table t = MakeTable(41);
    const decltype(&HuffmanDecodeOneDiffFast_Sse2) one[] = {HuffmanDecodeOneDiffFast_Sse2, HuffmanDecodeOneDiffFast_Sse3,
                                                            HuffmanDecodeOneDiffFast_Ssse3, HuffmanDecodeOneDiffFast_Sse41};
    for (auto fast : one) {
        const uint8_t stuffed[8] = {0x12, 0xFF, 0x00, 0x34, 0, 0, 0, 0};
        HuffmanDecoderState state{};
        uint32_t position = 0;
        uint16_t out = 5;
        EXPECT_EQ(fast(stuffed, &out, &position, &t.decoder, &state), kKernelFastDeclined);
        EXPECT_EQ(position, 0u);
        EXPECT_EQ(state.bitCount, 0);
        EXPECT_EQ(out, 5);
    }
    const decltype(&LosslessDecodeRowFast_Ssse3) row[] = {LosslessDecodeRowFast_Sse2, LosslessDecodeRowFast_Ssse3,
                                                           LosslessDecodeRowFast_Sse41};
    for (auto fast : row) {
        std::vector<uint8_t> data(64, 0x00);
        uint16_t a[8], b[8];
        uint16_t* outputs[5] = {a, b, a, b, a};
        const HuffmanDecoderTable* tables[5] = {&t.decoder, &t.decoder, &t.decoder, &t.decoder, &t.decoder};
        HuffmanDecoderState state{};
        uint32_t position = 0;
        MarkerWord marker = 0;
        EXPECT_EQ(fast(data.data(), 64, &position, outputs, 8, 5, &marker, tables, &state), kKernelFastDeclined);
        EXPECT_EQ(fast(data.data(), 64, &position, outputs, 8, 0, &marker, tables, &state), kKernelFastDeclined);
        EXPECT_EQ(fast(data.data(), 15, &position, outputs, 8, 1, &marker, tables, &state), kKernelFastDeclined);
        position = 100;  // past the end: never plenty of room
        EXPECT_EQ(fast(data.data(), 64, &position, outputs, 8, 1, &marker, tables, &state), kKernelFastDeclined);
        position = 0;
        marker = 0xD0;
        EXPECT_EQ(fast(data.data(), 64, &position, outputs, 8, 1, &marker, tables, &state), kKernelFastDeclined);
        EXPECT_EQ(state.bitCount, 0);
        EXPECT_EQ(position, 0u);
    }
}

// A position past the end of the window is never room for a fast kernel.
TEST(Row19And20, APositionPastTheEndReadsNothing) {
    const Table t = MakeTable(51);
    for (uint32_t position : {41u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        SCOPED_TRACE(position);
        Input in;
        in.data.assign(40, 0x00);
        in.position = position;
        EXPECT_EQ(RunDiffAll(in, t)[0].status, kKernelDataEnded);
        const auto rows = RunRowAll(in, {&t}, 8, 1);
        EXPECT_EQ(rows[0].status, kKernelDataEnded);
        EXPECT_EQ(rows[0].after.position, position);
    }
}

}  // namespace
}  // namespace jpegkernels
