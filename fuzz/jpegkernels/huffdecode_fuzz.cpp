// Differential fuzz target of the Huffman decoding rows across the processor
// columns: random tables built by row 15 and random entropy-coded data (raw
// bytes, or a valid stream with a few bytes changed) through row 18 (block
// after block), row 19 (difference after difference) or row 20 (row after
// row). Every column must give the same statuses, outputs and stream points
// call for call, each column going on from the state it left itself.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace {

using namespace jpegkernels;
using testing::DhtTable;

void Check(bool ok) {
    if (!ok) std::abort();
}

// Reads the input front to back; past its end it gives zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | static_cast<uint32_t>(Byte()) << 24; }
    // The rest of the input, at most 4096 bytes of it.
    std::vector<uint8_t> Rest() {
        const size_t from = std::min(at_, size_);
        return std::vector<uint8_t>(data_ + from, data_ + std::min(size_, from + 4096));
    }

private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

// A table from the input: raw BITS and HUFFVAL bytes (anything, codes that
// do not fit included), or a complete code over symbols 0..last (complete).
struct Table {
    DhtTable dht;
    bool complete = false;
};

Table MakeDht(Input& in, int last) {
    Table t;
    if (in.Byte() & 1) {
        int total = 0;
        for (uint8_t& b : t.dht.bits) total += b = static_cast<uint8_t>(in.Byte() % 24);
        for (int i = 0; i < total; ++i) t.dht.huffval.push_back(in.Byte());
        return t;
    }
    std::mt19937 rng(in.Word());
    t.dht = testing::DhtFromLengths(testing::RandomLengths(rng, testing::SymbolRange(0, last), 1 + in.Byte() % 16));
    t.complete = true;
    return t;
}

// Builds the table on every column; all must agree. False when refused.
bool BuildTable(const DhtTable& dht, HuffmanDecoderTable& table) {
    std::vector<uint8_t> huffval = dht.huffval;
    huffval.resize(256);
    KernelStatus first = 0;
    for (int k = 0; k < kProcessorColumns; ++k) {
        HuffmanDecoderTable t;
        std::memset(&t, 0xA5, sizeof t);
        const KernelStatus s = kKernelDispatchTable.Row<KernelRow::HuffmanDecoderTableInit>()[k](
            dht.bits.data(), huffval.data(), &t);
        if (k == 0) {
            first = s;
            table = t;
        }
        Check(s == first && (s != kKernelOk || std::memcmp(&t, &table, sizeof t) == 0));
    }
    return first == kKernelOk;
}

// Entropy-coded data: the rest of the input as it is, or (with complete
// tables) a stream of valid blocks or differences with a few of its bytes
// replaced by input bytes.
std::vector<uint8_t> MakeData(Input& in, const Table& dc, const Table& ac, bool blocks) {
    if ((in.Byte() & 3) != 0 || !dc.complete || !ac.complete) return in.Rest();
    std::mt19937 rng(in.Word());
    const testing::EncoderCodes dcCodes = testing::MakeCodes(dc.dht), acCodes = testing::MakeCodes(ac.dht);
    testing::BitWriter w;
    int16_t predictor = 0;
    for (int i = 0; i < 12; ++i) {
        if (blocks) {
            int16_t block[64] = {};
            for (int16_t& v : block) {
                if (rng() % 4 == 0) v = static_cast<int16_t>(static_cast<int>(rng() % 2047) - 1023);
            }
            testing::EncodeBlock(w, block, predictor, dcCodes, acCodes);
        } else {
            testing::EncodeDifference(w, static_cast<uint16_t>(rng() % 2 ? rng() : rng() % 64), dcCodes);
        }
    }
    w.Flush();
    std::vector<uint8_t> data = w.bytes;
    data.insert(data.end(), in.Byte() % 40, 0x00);
    for (int edits = in.Byte() % 4; edits > 0 && !data.empty(); --edits) data[in.Word() % data.size()] = in.Byte();
    return data;
}

// Where a column starts.
struct Start {
    uint32_t position = 0;
    MarkerWord marker = 0;
    HuffmanDecoderState state{};
};

// One column's run: the record of every call.
struct Run {
    std::vector<uint8_t> record;
    void Add(const void* p, size_t n) {
        record.insert(record.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    }
    // The status and the stream point after a call; the bits held must be
    // the data's.
    void AddCall(KernelStatus status, const testing::StreamMap& map, const Start& s);
};

void Run::AddCall(KernelStatus status, const testing::StreamMap& map, const Start& s) {
    Check(s.state.bitCount >= 0 && s.state.bitCount <= 32 && map.Check(s.position, s.state));
    const auto point = map.Point(s.position, s.marker, s.state);
    Add(&status, sizeof status);
    Add(point.data(), sizeof point);
}

Start MakeStart(Input& in) {
    Start s;
    const uint8_t flags = in.Byte();
    if (flags & 1) s.marker = 0xD0 + (flags >> 1) % 8;
    if (flags & 16) {
        s.state.bitCount = in.Byte() % 33;
        s.state.bitBuffer = in.Word();
    }
    return s;
}

void FuzzBlocks(Input& in) {
    const Table dcDht = MakeDht(in, 15), acDht = MakeDht(in, 255);
    HuffmanDecoderTable dc, ac;
    const bool dcBuilt = BuildTable(dcDht.dht, dc);
    const bool ok = BuildTable(acDht.dht, ac) && dcBuilt;
    const Start start = MakeStart(in);
    const size_t offset = in.Byte() % 8;
    if (!ok) return;
    const std::vector<uint8_t> bytes = MakeData(in, dcDht, acDht, true);
    const auto data = testing::ExactCopy(bytes);
    const int32_t length = static_cast<int32_t>(bytes.size());
    const testing::StreamMap map(data.get(), length);
    std::vector<uint8_t> expected;
    for (int k = 0; k < kProcessorColumns; ++k) {
        Run run;
        Start s = start;
        int16_t predictor = 0;
        for (int call = 0; call < 64; ++call) {
            int16_t storage[64 + 8];
            int16_t* block = storage + offset;
            const KernelStatus status = kKernelDispatchTable.Row<KernelRow::HuffmanDecodeBlock8x8>()[k](
                data.get(), length, &s.position, block, &predictor, &s.marker, &dc, &ac, &s.state);
            run.AddCall(status, map, s);
            run.Add(block, 128);
            run.Add(&predictor, sizeof predictor);
            if (status != kKernelCorruptData) run.Add(&s.state.coefficientExtent, sizeof(int32_t));
            if (status != kKernelOk) break;
        }
        if (k == 0) expected = run.record;
        Check(run.record == expected);
    }
}

void FuzzDifferences(Input& in, bool rows) {
    const std::array<Table, 2> dhts = {MakeDht(in, 16), MakeDht(in, 16)};
    std::array<HuffmanDecoderTable, 2> tables;
    const bool firstBuilt = BuildTable(dhts[0].dht, tables[0]);
    const bool ok = BuildTable(dhts[1].dht, tables[1]) && firstBuilt;
    const Start start = MakeStart(in);
    const int32_t columns = 1 + in.Byte() % 48;
    const int32_t components = 1 + in.Byte() % 5;
    if (!ok) return;
    const std::vector<uint8_t> bytes = MakeData(in, dhts[0], dhts[0], false);
    const auto data = testing::ExactCopy(bytes);
    const int32_t length = static_cast<int32_t>(bytes.size());
    if (length < 1) return;
    const testing::StreamMap map(data.get(), length);
    std::vector<uint8_t> expected;
    for (int k = 0; k < kProcessorColumns; ++k) {
        Run run;
        Start s = start;
        std::vector<std::vector<uint16_t>> out(5, std::vector<uint16_t>(static_cast<size_t>(columns), 0x1234));
        uint16_t* outputs[5] = {out[0].data(), out[1].data(), out[2].data(), out[3].data(), out[4].data()};
        const HuffmanDecoderTable* pointers[5] = {&tables[0], &tables[1], &tables[0], &tables[1], &tables[0]};
        for (int call = 0; call < (rows ? 16 : 256); ++call) {
            KernelStatus status;
            if (rows) {
                status = kKernelDispatchTable.Row<KernelRow::LosslessDecodeRow>()[k](
                    data.get(), length, &s.position, outputs, columns, components, &s.marker, pointers, &s.state);
                for (const auto& o : out) run.Add(o.data(), o.size() * 2);
            } else {
                uint16_t difference = 0x5555;
                status = kKernelDispatchTable.Row<KernelRow::HuffmanDecodeOneDiff>()[k](
                    data.get(), length, &s.position, &difference, &s.marker, pointers[call % 2], &s.state);
                run.Add(&difference, sizeof difference);
            }
            run.AddCall(status, map, s);
            if (status != kKernelOk) break;
        }
        if (k == 0) expected = run.record;
        Check(run.record == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    switch (in.Byte() % 3) {
        case 0:
            FuzzBlocks(in);
            break;
        case 1:
            FuzzDifferences(in, false);
            break;
        default:
            FuzzDifferences(in, true);
            break;
    }
    return 0;
}
