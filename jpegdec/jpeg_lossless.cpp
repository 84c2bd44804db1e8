// Lossless frames on the kernel-backed path: the scan decoders that turn a
// row of entropy-coded data into differences (or, for predictor 1 at 16
// bits, straight into samples), the two-level look-ahead tables of the
// single-component decoders, and the reconstruction of samples by the
// scan's predictor.
//
// The single-component decoders stop at a marker, where the data ends (the
// row drivers read the one that ends a restart interval, and a row that
// needs bits past one is lost), but do not compare with the end of the
// data: the input buffer keeps a worst-case row of zero bytes after its
// data, and the counts are checked after the row.
#include <cstring>

#include "jpegdec/jpeg_kernelpath.h"

namespace jpegdec {

namespace {

constexpr uint16_t kLonger = 255;  // first level: the code is longer than 8 bits
constexpr uint16_t kDifference32768 = 32768;

// The JPEG rule: s bits v as a signed difference (s = 0 gives 0).
inline uint32_t Extend(uint32_t v, uint32_t s) {
    const uint32_t half = (1u << s) >> 1;
    return v < half ? v - (2 * half - 1) : v;
}

// 2^(P - Pt - 1), the prediction of a first row.
inline uint32_t InitialPrediction(uint32_t precision, uint32_t pointTransform) {
    return 1u << (precision - pointTransform - 1);
}

// The bits of the entropy-coded data from a byte and a count of its bits
// still unread: stuffed 0xFF 0x00 pairs (with fill 0xFF before the zero)
// give 0xFF. The data ends at a marker (0xFF and a byte other than 0 or
// 0xFF): zero bits follow, counted apart, and a row that takes any of them
// took bits past the data.
class LookaheadReader {
public:
    LookaheadReader(const uint8_t* window, int32_t unread) : start_(window), startBits_(unread) {
        const uint8_t b = window[0];
        sawFF_ = b == 0xFF;
        count_ = unread;
        next_ = NextDataByte(window);
        if (!next_) {
            // The data ends at a marker before its first byte.
            next_ = marker_ = window;
            bits_ = 0;
            count_ = startBits_ = 0;
            return;
        }
        bits_ = uint64_t{static_cast<uint8_t>(b & (0xFFu >> (8 - unread)))} << (64 - unread);
    }

    // At least 32 bits held afterwards: a code and its value bits (at most
    // 31) are taken without looking at the data again.
    void Fill() {
        if (count_ >= 32) return;
        uint64_t word;
        std::memcpy(&word, next_, 8);
        if (!HasByteFF(word)) {
            // The bits below the count are the first bits of the next byte,
            // which the next fill ors in again at the same place.
            bits_ |= __builtin_bswap64(word) >> count_;
            const int32_t n = (63 - count_) >> 3;
            next_ += n;
            loaded_ += n;
            count_ |= 56;
            return;
        }
        while (count_ <= 56) {
            const uint8_t b = *next_;
            if (b == 0xFF) {
                sawFF_ = true;
                const uint8_t* after = AfterFF(next_);
                if (!after) {
                    // The data ended: zero bits, the position kept at the
                    // marker.
                    marker_ = next_;
                    const int32_t zeros = (((56 - count_) >> 3) + 1) * 8;
                    count_ += zeros;
                    padded_ += zeros;
                    return;
                }
                next_ = after;
            } else {
                ++next_;
            }
            bits_ |= uint64_t{b} << (56 - count_);
            count_ += 8;
            ++loaded_;
        }
    }
    uint64_t Bits() const { return bits_; }
    void Drop(uint32_t n) {
        bits_ <<= n;
        count_ -= static_cast<int32_t>(n);
    }
    // The zero bits after the data's end were reached.
    bool PastData() const { return count_ < padded_; }

    // The byte holding the next unread bit and its unread bits (1..8); the
    // marker (8) once the data is used up or overrun.
    void Position(const uint8_t** window, int32_t* unread) const {
        const int32_t held = count_ - padded_;
        if (!sawFF_) {
            const int32_t whole = held >> 3, part = held & 7;
            *window = next_ - whole - (part ? 1 : 0);
            *unread = part ? part : 8;
            return;
        }
        // Stuffed bytes make the step back ambiguous: walk forward instead.
        int64_t taken = startBits_ + 8 * loaded_ - held;
        if (marker_ && held <= 0) {
            *window = marker_;
            *unread = 8;
            return;
        }
        const uint8_t* q = start_;
        int32_t n = startBits_;
        if (taken >= n) {
            taken -= n;
            q = NextDataByte(q);
            for (; taken >= 8; taken -= 8) q = NextDataByte(q);
            n = 8;
        }
        *window = q;
        *unread = n - static_cast<int32_t>(taken);
    }

private:
    // After 0xFF at p, fill 0xFF bytes and then 0 (a stuffed 0xFF: the byte
    // after the zero) or another code (a marker: null). Out of line: rare.
    [[gnu::noinline]] static const uint8_t* AfterFF(const uint8_t* p) {
        ++p;
        while (*p == 0xFF) ++p;
        return *p == 0 ? p + 1 : nullptr;
    }
    static const uint8_t* NextDataByte(const uint8_t* p) { return *p == 0xFF ? AfterFF(p) : p + 1; }

    const uint8_t* start_;
    int32_t startBits_;
    const uint8_t* next_;
    const uint8_t* marker_ = nullptr;  // where the data ended at a marker
    uint64_t bits_;
    int32_t count_;
    int32_t padded_ = 0;  // zero bits held past the data
    int64_t loaded_ = 0;  // data bytes taken after the first
    bool sawFF_;
};

// Decodes `count` differences, handing each to sink(x, difference); -2 when
// no code matches.
template <class Sink>
int32_t DecodeDifferences(const LookaheadSlot& t, LookaheadReader& r, int32_t count, Sink&& sink) {
    if (!t.firstLength) return jpegkernels::kKernelCorruptData;
    const uint16_t* firstLength = t.firstLength;
    const uint16_t* firstCategory = t.firstCategory;
    const int16_t* firstValue = t.firstValue;
    for (int32_t x = 0; x < count; ++x) {
        r.Fill();
        const uint64_t b = r.Bits();
        const uint32_t top = static_cast<uint32_t>(b >> 56);
        uint32_t total = firstLength[top];
        uint32_t d;
        if (total <= 8) {
            d = static_cast<uint16_t>(firstValue[top]);
        } else {
            uint32_t s;
            if (total == kLonger) {
                const uint32_t index = static_cast<uint32_t>(b >> 48) & 0xFF;
                s = t.secondCategory[index];
                if (s > 16) return jpegkernels::kKernelCorruptData;
                total = 8 + t.secondLength[index];
            } else {
                s = firstCategory[top];
            }
            if (s == 16) {
                d = kDifference32768;
                total -= 16;
            } else {
                d = Extend(static_cast<uint32_t>(b >> (64 - total)) & ((1u << s) - 1), s);
            }
        }
        r.Drop(total);
        sink(x, d);
    }
    return 0;
}

// Runs a decoder over the block's window and stores where it ended.
template <class Sink>
int32_t DecodeFromWindow(uint32_t table, LosslessLookaheadTables* block, const uint8_t** data, int32_t count,
                         Sink&& sink) {
    if (table >= kLookaheadSlots) return jpegkernels::kKernelCorruptData;
    LookaheadReader r(*data, block->bitCount);
    const int32_t status = DecodeDifferences(block->slots[table], r, count, sink);
    r.Position(data, &block->bitCount);
    return r.PastData() ? jpegkernels::kKernelCorruptData : status;
}

// ---- table building ----

// Code lengths (HUFFVAL order) and canonical codes; -2 when BITS counts
// more codes than there are symbols, -3 when a code does not fit its
// length.
int32_t GenerateCodes(const uint8_t* bits, uint32_t symbols, uint32_t* lengths, uint32_t* codes) {
    uint32_t k = 0, code = 0;
    for (uint32_t l = 1; l <= 16; ++l) {
        for (uint32_t i = 0; i < bits[l - 1]; ++i, ++k, ++code) {
            if (k >= symbols) return jpegkernels::kKernelCorruptData;
            if (code >= (1u << l)) return -3;
            lengths[k] = l;
            codes[k] = code;
        }
        code <<= 1;
    }
    return 0;
}

// One entry range of a level: every index that begins with the code's bits.
bool StoreRange(uint16_t* length, uint16_t* category, uint32_t from, uint32_t span, uint16_t total,
                uint16_t s) {
    for (uint32_t i = from; i < from + span; ++i) {
        if (length[i] != kLonger) return false;  // two codes claim the index
        length[i] = total;
        category[i] = s;
    }
    return true;
}

int32_t BuildSlot(const uint8_t* bits, const uint8_t* huffval, uint32_t symbols, LookaheadSlot& t) {
    const int32_t st = GenerateCodes(bits, symbols, t.codeLengths, t.codes);
    if (st != 0) return st;
    for (uint32_t i = 0; i < 256; ++i) {
        t.firstLength[i] = t.firstCategory[i] = kLonger;
        t.secondLength[i] = t.secondCategory[i] = kLonger;
    }
    uint32_t coded = 0;
    for (uint32_t l = 1; l <= 16; ++l) coded += bits[l - 1];
    for (uint32_t k = 0; k < coded; ++k) {
        const uint32_t l = t.codeLengths[k], c = t.codes[k], s = huffval[k];
        if (l <= 8) {
            const uint32_t from = c << (8 - l), span = 1u << (8 - l);
            if (!StoreRange(t.firstLength, t.firstCategory, from, span, static_cast<uint16_t>(l + s),
                            static_cast<uint16_t>(s)))
                return -3;
            if (l + s <= 8)
                for (uint32_t i = from; i < from + span; ++i)
                    t.firstValue[i] = static_cast<int16_t>(Extend((i >> (8 - l - s)) & ((1u << s) - 1), s));
        } else {
            // The second level is indexed by the bits after the first 8,
            // whatever they were: codes of different first bytes must not
            // meet there.
            const uint32_t from = (c & ((1u << (l - 8)) - 1)) << (16 - l), span = 1u << (16 - l);
            if (!StoreRange(t.secondLength, t.secondCategory, from, span, static_cast<uint16_t>(l - 8 + s),
                            static_cast<uint16_t>(s)))
                return -3;
        }
    }
    return 0;
}

}  // namespace

uint64_t LosslessLookaheadSize(uint32_t tableCount, const uint32_t* symbolCounts) {
    uint64_t size = sizeof(LosslessLookaheadTables);
    for (uint32_t i = 0; i < tableCount && i < kLookaheadSlots; ++i)
        if (symbolCounts[i] > 0) size += 8 * uint64_t{symbolCounts[i]} + 5 * 512;
    return size;
}

int32_t ResetLosslessLookahead(LosslessLookaheadTables* block) {
    block->bitCount = 8;
    block->previousFirst = 0;
    return 0;
}

const uint8_t** LookaheadPosition(LosslessLookaheadTables* block) { return &block->window; }

int32_t BuildLosslessLookaheadTables(uint32_t tableCount, const uint32_t* symbolCounts,
                                     const uint8_t* const* huffvals, const uint8_t* const* bits,
                                     LosslessLookaheadTables* block) {
    if (!block) return -1;
    if (tableCount > kLookaheadSlots) tableCount = kLookaheadSlots;
    for (uint32_t i = 0; i < tableCount; ++i)
        for (uint32_t k = 0; k < symbolCounts[i]; ++k)
            if (huffvals[i][k] > 16) return -3;
    ResetLosslessLookahead(block);
    block->window = nullptr;
    auto* area = reinterpret_cast<uint8_t*>(block + 1);
    for (uint32_t i = 0; i < tableCount; ++i) {
        LookaheadSlot& t = block->slots[i];
        const uint32_t n = symbolCounts[i];
        if (n == 0) continue;
        t.codeLengths = reinterpret_cast<uint32_t*>(area);
        t.codes = reinterpret_cast<uint32_t*>(area + 4 * size_t{n});
        area += 8 * size_t{n};
        t.firstLength = reinterpret_cast<uint16_t*>(area);
        t.secondLength = reinterpret_cast<uint16_t*>(area + 512);
        t.firstCategory = reinterpret_cast<uint16_t*>(area + 1024);
        t.secondCategory = reinterpret_cast<uint16_t*>(area + 1536);
        t.firstValue = reinterpret_cast<int16_t*>(area + 2048);
        area += 5 * 512;
        const int32_t st = BuildSlot(bits[i], huffvals[i], n, t);
        if (st != 0) return st;
    }
    return 0;
}

JpegStatus InitLosslessLookahead(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    const uint32_t tables = ctx->dcTableCount < kLookaheadSlots ? ctx->dcTableCount : kLookaheadSlots;
    uint32_t counts[kLookaheadSlots] = {};
    const uint8_t* huffvals[kLookaheadSlots] = {};
    const uint8_t* bits[kLookaheadSlots] = {};
    for (uint32_t i = 0; i < tables; ++i) {
        const HuffmanTableRecord& r = ctx->dcTables[i];
        if (!r.bits || !r.huffval) continue;
        // Each table's own BITS: a symbol count kept per table id would be
        // the AC table's when one of that id came later.
        for (int l = 0; l < 16; ++l) counts[i] += r.bits[l];
        huffvals[i] = r.huffval;
        bits[i] = r.bits;
    }
    auto* block = static_cast<LosslessLookaheadTables*>(AllocZeroed(ctx, LosslessLookaheadSize(tables, counts), 1));
    if (!block) return kJpegEndOrNoMemory;
    const int32_t st = BuildLosslessLookaheadTables(tables, counts, huffvals, bits, block);
    if (st != 0) {
        FreeBlock(ctx, block);
        return st == -3 ? kJpegUnsupported : kJpegCorruptData;
    }
    s->lookahead = block;
    return kJpegOk;
}

JpegStatus SetUpLosslessLookahead(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    s->lookaheadDecoding = 1;
    const JpegStatus st = InitLosslessLookahead(ctx);
    if (st == kJpegUnsupported) {
        // Tables the look-ahead cannot hold: kernel row 20 decodes the frame.
        s->lookaheadDecoding = 0;
        s->integratedPredictor = 0;
        return kJpegOk;
    }
    if (st < 1) {
        s->lookaheadDecoding = 0;
        return st;
    }
    if (ctx->scanSs == 1 && ctx->precision == 16) {
        s->integratedPredictor = 1;
        s->restartFlag = &ctx->dcPredictors[0];
    }
    return kJpegOk;
}

void FreeLosslessLookahead(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    FreeBlock(ctx, s->lookahead);
    s->lookahead = nullptr;
}

// ---- decoding ----

// The row decoders of the look-ahead tables start on a 64-byte boundary:
// their sample loop takes most of a lossless frame's time, and that time
// moved by up to a tenth with where code added before them in the library
// put the loop. Pinned, they keep their speed whatever comes before.
[[gnu::aligned(64)]] int32_t LosslessDiffDecode(int32_t count, uint32_t table, LosslessLookaheadTables* block,
                                                const uint8_t** data, uint16_t* output) {
    return DecodeFromWindow(table, block, data, count,
                            [output](int32_t x, uint32_t d) { output[x] = static_cast<uint16_t>(d); });
}

[[gnu::aligned(64)]] int32_t LosslessRowDecoder(int32_t count, uint32_t table, LosslessLookaheadTables* block,
                                                const uint8_t** data, uint16_t* output, int32_t* firstRowFlag,
                                                uint32_t precision, uint32_t pointTransform) {
    // The first sample is predicted from the row above's first sample, or
    // from 2^(P - Pt - 1) on the first row of a scan or interval; every
    // further sample from its left neighbour.
    uint32_t prediction = *firstRowFlag ? InitialPrediction(precision, pointTransform) : block->previousFirst;
    *firstRowFlag = 0;
    const int32_t st = DecodeFromWindow(table, block, data, count, [output, &prediction](int32_t x, uint32_t d) {
        prediction = (prediction + d) & 0xFFFF;
        output[x] = static_cast<uint16_t>(prediction);
    });
    block->previousFirst = output[0];
    return st;
}

namespace {

// The frame of the single-component decoders: input kept, the row decoded
// from the buffer position, the position moved to where it ended.
template <class Decode>
JpegStatus DecodeLookaheadRow(JpegDecoderContext* ctx, Decode&& decode) {
    KernelPathState* s = KernelState(ctx);
    if (s->remaining < 0) return kJpegCorruptData;
    KeepKernelInput(ctx, s);
    const uint8_t** window = LookaheadPosition(s->lookahead);
    *window = s->inputPosition;
    const int32_t st = decode(ctx->dcTableSelector[0], window);
    AdvanceKernelInput(s, *window - s->inputPosition);
    // The row took bits of the zero bytes after the data (a byte begun at
    // the end of the data is one of them).
    if (s->remaining < 0 || (s->remaining == 0 && s->lookahead->bitCount < 8)) {
        if (s->sourceEnded) ctx->inputEnded = 1;
        return kJpegCorruptData;
    }
    return st == 0 ? kJpegOk : kJpegCorruptData;
}

}  // namespace

JpegStatus DecodeLosslessScanSingle(JpegDecoderContext* ctx, LosslessRowRecord* record, int) {
    LosslessLookaheadTables* block = KernelState(ctx)->lookahead;
    return DecodeLookaheadRow(ctx, [&](uint32_t table, const uint8_t** window) {
        return LosslessDiffDecode(static_cast<int32_t>(record->width), table, block, window, record->rows[0]);
    });
}

JpegStatus DecodeLosslessScanSingleUnit(JpegDecoderContext* ctx, LosslessRowRecord* record, int) {
    KernelPathState* s = KernelState(ctx);
    return DecodeLookaheadRow(ctx, [&](uint32_t table, const uint8_t** window) {
        return LosslessRowDecoder(static_cast<int32_t>(record->width), table, s->lookahead, window, record->rows[0],
                                  s->restartFlag, ctx->precision, ctx->scanAhAl & 15);
    });
}

JpegStatus DecodeLosslessScanMulti(JpegDecoderContext* ctx, LosslessRowRecord* record, int components) {
    KernelPathState* s = KernelState(ctx);
    uint16_t* outputs[kMaxComponents] = {};
    const jpegkernels::HuffmanDecoderTable* tables[kMaxComponents] = {};
    int32_t n = 0;
    if (static_cast<uint32_t>(components) == ctx->componentCount) {
        for (uint32_t c = 0; c < ctx->componentCount && c < kMaxComponents; ++c, ++n) {
            outputs[c] = record->rows[c];
            tables[c] = s->dcTables[ctx->dcTableSelector[c]];
        }
    } else {
        // One component of the frame alone (a decoder of one component).
        outputs[0] = record->rows[components];
        tables[0] = s->dcTables[ctx->dcTableSelector[components]];
        n = 1;
    }
    if (s->remaining < 0) return kJpegCorruptData;
    KeepKernelInput(ctx, s);
    uint32_t position = 0;
    jpegkernels::MarkerWord marker = 0;
    const KernelStatus r = RunWithRefill(ctx, s, [&] {
        position = s->consumed;
        marker = ctx->pendingMarker;
        return KernelCall<KernelRow::LosslessDecodeRow>(s->inputStart, static_cast<int32_t>(s->filled), &position,
                                                        outputs, static_cast<int32_t>(record->width), n, &marker,
                                                        tables, s->bitState);
    });
    ctx->pendingMarker = marker;
    AdvanceKernelInput(s, int64_t{position} - s->consumed);
    if (r == 0) return kJpegOk;
    if (s->sourceEnded && (r == jpegkernels::kKernelDataEnded || s->filled == 0)) ctx->inputEnded = 1;
    return kJpegCorruptData;
}

int32_t DataBytesHeldByLookahead(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    // The last row ended inside a byte: its other bits fill the end of the
    // scan or interval, and the marker that ends it follows that byte.
    const LosslessLookaheadTables* block = s->lookahead;
    if (block->bitCount < 8 && block->window == s->inputPosition && s->remaining > 0)
        AdvanceKernelInput(s, *s->inputPosition == 0xFF ? 2 : 1);
    return 0;
}

JpegStatus StartScanLosslessByKernel(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    if (s->lookaheadDecoding) {
        if (s->integratedPredictor) {
            ctx->losslessSingleUnit = 1;
            ctx->losslessDecoder = DecodeLosslessScanSingleUnit;
        } else {
            ctx->losslessDecoder = DecodeLosslessScanSingle;
        }
        DataBytesHeldByLookahead(ctx);
        ResetLosslessLookahead(s->lookahead);
    } else {
        ctx->losslessDecoder = DecodeLosslessScanMulti;
    }
    return KernelCall<KernelRow::HuffmanDecoderStateInit>(s->bitState) == 0 ? kJpegOk : 0;
}

// ---- reconstruction ----

JpegStatus ReconstructLosslessRows(JpegDecoderContext* ctx, uint16_t* const* differences,
                                   uint16_t* const* previous, uint16_t* const* outputs, uint32_t components,
                                   const uint32_t* counts, int32_t* firstRowFlag) {
    const bool first = *firstRowFlag != 0;
    for (uint32_t k = 0; k < components && k < kMaxComponents; ++k) {
        if (!differences[k]) continue;
        const auto count = static_cast<int32_t>(counts[k]);
        if (first)
            KernelCall<KernelRow::LosslessReconstructFirstRow>(differences[k], outputs[k], count,
                                                               static_cast<int32_t>(ctx->precision),
                                                               static_cast<int32_t>(ctx->scanAhAl & 15));
        else
            KernelCall<KernelRow::LosslessReconstructRow>(differences[k], previous[k], outputs[k], count,
                                                          static_cast<int32_t>(ctx->scanSs));
    }
    if (first) *firstRowFlag = 0;
    return kJpegOk;
}

JpegStatus InstallLosslessReconstruction(JpegDecoderContext* ctx) {
    ctx->scanFinish = ReconstructLosslessRows;
    return kJpegOk;
}

}  // namespace jpegdec
