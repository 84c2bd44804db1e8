// The bit reader's three builds: refills with byte stuffing, fill bytes,
// markers and the end of the data window, and symbol decoding through the
// look-ahead and the length search.
#include <gtest/gtest.h>

#include <vector>

#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels {
namespace {

struct Build {
    const char* name;
    decltype(&HuffmanFillBits) fill;
    decltype(&HuffmanDecodeSymbol) symbol;
};
const Build kBuilds[] = {{"generic", HuffmanFillBits, HuffmanDecodeSymbol},
                         {"indexes 2 and 3", HuffmanFillBits_Sse2, HuffmanDecodeSymbol_Sse2},
                         {"indexes 4 and 5", HuffmanFillBits_Ssse3, HuffmanDecodeSymbol_Ssse3}};

// A data window with its reader state.
struct Reader {
    std::vector<uint8_t> data;
    uint32_t position = 0;
    MarkerWord marker = 0;
    HuffmanDecoderState state{};

    KernelStatus Fill(const Build& b, int32_t needed) {
        return b.fill(data.data(), static_cast<int32_t>(data.size()), &position, &marker, needed, &state);
    }
    KernelStatus Symbol(const Build& b, const HuffmanDecoderTable& table, uint32_t* symbol) {
        return b.symbol(data.data(), static_cast<int32_t>(data.size()), &position, &marker, symbol, &table, &state);
    }
    // The valid bits, oldest first, as a string of 0 and 1.
    std::string Bits() const {
        std::string s;
        for (int i = state.bitCount - 1; i >= 0; --i) s += ((state.bitBuffer >> i) & 1) ? '1' : '0';
        return s;
    }
};

HuffmanDecoderTable BuildTable(const testing::DhtTable& dht) {
    HuffmanDecoderTable t;
    EXPECT_EQ(HuffmanDecoderTableInit(dht.bits.data(), dht.huffval.data(), &t), kKernelOk);
    return t;
}

TEST(BitReader, StuffingFillBytesAndMarkers) {
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        int32_t needed;
        KernelStatus status;
        std::string bits;
        uint32_t position, marker;
    };
    const Case cases[] = {
        {"stuffed 0xFF", {0xFF, 0x00, 0x12, 0x34, 0x56}, 0, kKernelOk, "11111111000100100011010001010110", 5, 0},
        {"fill byte before a stuffed 0xFF", {0xFF, 0xFF, 0x00, 0x81, 0x7E, 0x55}, 0, kKernelOk,
         "11111111100000010111111001010101", 6, 0},
        {"marker after two bytes", {0xA5, 0x5A, 0xFF, 0xD9, 0x11}, 16, kKernelOk, "1010010101011010", 4, 0xD9},
        {"marker before the bits needed", {0xA5, 0xFF, 0xFF, 0xD0, 0x11}, 9, kKernelNoCode, "10100101", 4, 0xD0},
        {"window ends, bits suffice", {0x0F}, 8, kKernelOk, "00001111", 1, 0},
        {"window ends, one bit short", {0x0F}, 9, kKernelDataEnded, "00001111", 1, 0},
        // A trailing 0xFF stays for the next window when the bits suffice,
        // else it is consumed and the data has ended.
        {"trailing 0xFF, bits suffice", {0x12, 0xFF}, 8, kKernelOk, "00010010", 1, 0},
        {"trailing 0xFF 0xFF, bits suffice", {0x12, 0xFF, 0xFF}, 3, kKernelOk, "00010010", 1, 0},
        {"trailing 0xFF, bits short", {0x12, 0xFF}, 9, kKernelDataEnded, "00010010", 2, 0},
        {"empty window", {}, 0, kKernelOk, "", 0, 0},
    };
    for (const Build& b : kBuilds) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(b.name) + ": " + c.name);
            Reader r;
            r.data = c.data;
            EXPECT_EQ(r.Fill(b, c.needed), c.status);
            EXPECT_EQ(r.Bits(), c.bits);
            EXPECT_EQ(r.position, c.position);
            EXPECT_EQ(r.marker, c.marker);
        }
    }
}

TEST(BitReader, NothingIsReadOnceAMarkerIsRecorded) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        Reader r;
        r.data = {0x80, 0xFF, 0xD9, 0x12, 0x34};
        EXPECT_EQ(r.Fill(b, 0), kKernelOk);
        EXPECT_EQ(r.marker, 0xD9u);
        EXPECT_EQ(r.position, 3u);
        EXPECT_EQ(r.Fill(b, 8), kKernelOk);
        EXPECT_EQ(r.Fill(b, 9), kKernelNoCode);
        EXPECT_EQ(r.position, 3u);
        EXPECT_EQ(r.Bits(), "10000000");
        // A full buffer is not touched at all.
        Reader full;
        full.data = {0xFF, 0xD0};
        full.state.bitBuffer = 0x01234567;
        full.state.bitCount = 25;
        EXPECT_EQ(full.Fill(b, 15), kKernelOk);
        EXPECT_EQ(full.position, 0u);
        EXPECT_EQ(full.marker, 0u);
        // A position past the end reads nothing.
        Reader past;
        past.data = {0x12, 0x34};
        past.position = 7;
        EXPECT_EQ(past.Fill(b, 1), kKernelDataEnded);
        EXPECT_EQ(past.Fill(b, 0), kKernelOk);
        EXPECT_EQ(past.position, 7u);
    }
}

TEST(BitReader, SymbolsThroughLookAheadAndLengthSearch) {
    // Symbol 'a' + l - 1 has the one code of length l: 0, 10, 110, ...;
    // the 16-bit code is 0xFFFE, above 0x8000 and compared as unsigned.
    std::vector<int> lengths(256, 0);
    for (int l = 1; l <= 16; ++l) lengths[static_cast<size_t>('a' + l - 1)] = l;
    const testing::DhtTable dht = testing::DhtFromLengths(lengths);
    const HuffmanDecoderTable table = BuildTable(dht);
    const testing::EncoderCodes codes = testing::MakeCodes(dht);
    ASSERT_EQ(codes.code['p'], 0xFFFEu);
    const std::vector<int> message = {'a', 'i', 'c', 'p', 'j', 'b', 'o', 'h', 'p', 'a'};

    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        testing::BitWriter w;
        for (int s : message) w.Symbol(codes, s);
        w.Marker(0xD3);
        Reader r;
        r.data = w.bytes;
        for (int s : message) {
            uint32_t symbol = 99;
            ASSERT_EQ(r.Symbol(b, table, &symbol), kKernelOk);
            EXPECT_EQ(symbol, static_cast<uint32_t>(s));
        }
        // Only the padding ones are left before the marker.
        uint32_t symbol = 99;
        EXPECT_EQ(r.Symbol(b, table, &symbol), kKernelNoCode);
        EXPECT_EQ(r.marker, 0xD3u);
    }
}

TEST(BitReader, DecodingAtTheEdgesOfTheData) {
    std::vector<int> lengths(256, 0);
    lengths[1] = 3;   // 000
    lengths[2] = 3;   // 001
    lengths[3] = 12;  // 0100 0000 0000
    lengths[4] = 12;  // 0100 0000 0001
    const testing::DhtTable dht = testing::DhtFromLengths(lengths);
    const HuffmanDecoderTable table = BuildTable(dht);
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        uint32_t symbol = 99;
        // Eight bits buffered, the code is longer and a marker follows:
        // -63, the eight bits stay.
        Reader r;
        r.data = {0x40, 0xFF, 0xD1};
        ASSERT_EQ(r.Fill(b, 0), kKernelOk);
        EXPECT_EQ(r.state.bitCount, 8);
        EXPECT_EQ(r.Symbol(b, table, &symbol), kKernelNoCode);
        EXPECT_EQ(r.state.bitCount, 8);
        EXPECT_EQ(r.marker, 0xD1u);
        // Fewer than eight bits before a marker: a 3-bit code still decodes.
        Reader s;
        s.data = {0xFF, 0xD2};
        s.state.bitBuffer = 0x07;  // 00111
        s.state.bitCount = 5;
        ASSERT_EQ(s.Symbol(b, table, &symbol), kKernelOk);
        EXPECT_EQ(symbol, 2u);
        EXPECT_EQ(s.state.bitCount, 2);
        EXPECT_EQ(s.marker, 0xD2u);
        // Bits that match no code: symbol 0 and -63.
        Reader t;
        t.data = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
        symbol = 99;
        EXPECT_EQ(t.Symbol(b, table, &symbol), kKernelNoCode);
        EXPECT_EQ(symbol, 0u);
        // The data ends inside a long code: -62, nothing stored.
        Reader u;
        u.data = {0x40};
        symbol = 99;
        EXPECT_EQ(u.Symbol(b, table, &symbol), kKernelDataEnded);
        EXPECT_EQ(symbol, 99u);
    }
}

}  // namespace
}  // namespace jpegkernels
