// Huffman entropy decoding of DCT scans: the bit reader, the look-up
// tables, the sequential decoder and the four progressive decoders.
//
// The bit reader holds up to 64 bits. Once the data of a scan or restart
// interval ends (a marker, or the end of the input) zero bits follow; a fill
// point fails as soon as every real bit has been taken, which is where a
// reader that pads 16 zero bits at a time fails as well. A unit that took
// zero bits padded where the input ended fails too: it is cut. The zero
// byte that pads a DICOM fragment, where it ends the input, is such padding,
// not data (EndsInPadByte).
#include <algorithm>
#include <climits>
#include <cstring>

#include "jpegdec/jpeg_context.h"
#include "jpegdec/jpeg_simd.h"

namespace jpegdec {

namespace {

// The bit reader's state, kept in registers by the decoders: the slow paths
// take it and give it back by value. While the data lasts a fill point reads
// more input below 32 bits (at least 16 real bits then remain, so no fill
// point can fail); once it ended the limit is raised, every fill point takes
// the slow path, and a failed fill gives the limit kFillFailed.
struct BitState {
    uint64_t buf;
    int32_t count;
    int32_t limit;
};
constexpr int32_t kFillNormal = 32;
constexpr int32_t kFillEnded = INT_MAX;
constexpr int32_t kFillFailed = INT_MAX - 1;

inline int32_t NextByte(JpegDecoderContext* c) {
    return c->inputPos < c->inputFill ? c->inputBuffer[c->inputPos++] : FetchByte(c);
}

// After a zero byte that was the last of the buffer: false when the input
// goes on; true when it ends there, the byte appended as data unless it is
// the pad byte of a DICOM fragment.
bool EndsAfterZero(JpegDecoderContext* c, BitState& s) {
    if (FetchByte(c) >= 0) {
        --c->inputPos;
        return false;
    }
    if (!EndsInPadByte(c, 0, -1)) {
        s.buf <<= 8;
        s.count += 8;
    }
    return true;
}

// Appends whole bytes of data; false when the data ended (a marker, or the
// end of the input, a pad byte there left out).
bool LoadBytes(JpegDecoderContext* c, BitState& s) {
    while (s.count <= 56) {
        // Eight bytes at once when none of them is 0xFF (the buffer's last
        // byte, which may end the input, comes alone).
        if (c->inputFill - c->inputPos > 8) {
            uint64_t word;
            std::memcpy(&word, c->inputBuffer + c->inputPos, 8);
            if (!HasByteFF(word)) {
                const int n = (64 - s.count) / 8;
                const uint64_t be = __builtin_bswap64(word);
                s.buf = n == 8 ? be : (s.buf << (8 * n)) | (be >> (64 - 8 * n));
                s.count += 8 * n;
                c->inputPos += static_cast<uint32_t>(n);
                continue;
            }
        }
        int32_t b = NextByte(c);
        if (b < 0 || (b == 0 && c->inputPos == c->inputFill && EndsAfterZero(c, s))) return false;
        if (b == 0xFF) {
            do {
                b = NextByte(c);
            } while (b == 0xFF);
            if (b < 0) return false;
            if (b != 0) {
                // A marker: its 0xFF still enters as eight one bits, then the
                // data has ended.
                c->entropyState = kJpegMarkerInData;
                c->pendingMarker = static_cast<uint32_t>(b);
                s.buf = (s.buf << 8) | 0xFF;
                s.count += 8;
                return false;
            }
            b = 0xFF;
        }
        s.buf = (s.buf << 8) | static_cast<uint32_t>(b);
        s.count += 8;
    }
    return true;
}

// Tops the buffer up from the input; once the data ended, pads zero bits and
// fails when every real bit has been taken.
BitState RefillBits(JpegDecoderContext* c, BitState s) {
    if (c->entropyState > 0 && !c->inputEnded && LoadBytes(c, s)) return s;
    c->fillThreshold = s.limit = kFillEnded;
    const int32_t zeros = c->zeroBits < s.count ? c->zeroBits : s.count;
    const bool realBitsLeft = s.count - zeros > 0;
    if (s.count < 16) {
        s.buf <<= (16 - s.count);
        c->zeroBits = zeros + 16 - s.count;
        s.count = 16;
    } else {
        c->zeroBits = zeros;
    }
    // The byte fetch notes the input's end as -1: while real bits remain the
    // block goes on, and once they are taken the data is corrupt.
    if (realBitsLeft) {
        if (c->inputStatus == kJpegEndOrNoMemory) c->inputStatus = 1;
        return s;
    }
    if (c->inputStatus > 0 || c->inputStatus == kJpegEndOrNoMemory)
        c->inputStatus = c->entropyState == kJpegMarkerInData ? kJpegMarkerInData : kJpegCorruptData;
    s.limit = kFillFailed;
    return s;
}

struct BitReader {
    JpegDecoderContext* ctx;
    BitState s;

    explicit BitReader(JpegDecoderContext* c) : ctx(c), s{c->bitBuffer, c->bitCount, c->fillThreshold} {}
    void Save() const {
        ctx->bitBuffer = s.buf;
        ctx->bitCount = s.count;
    }
    // A fill point: at least 16 bits are held afterwards; false when the
    // data ran out (inputStatus says why).
    bool Fill() {
        if (s.count >= s.limit) return true;
        s = RefillBits(ctx, s);
        return s.limit != kFillFailed;
    }
    // The fill point before value bits that follow a Huffman code: while
    // the data lasts at least 16 bits are still held.
    bool FillAfterCode() { return s.limit == kFillNormal || Fill(); }
    uint32_t Peek8() const { return static_cast<uint32_t>(s.buf >> (s.count - 8)) & 0xFF; }
    // n = 0..16 bits; needs a fill point before.
    uint32_t Take(int n) {
        s.count -= n;
        return static_cast<uint32_t>(s.buf >> s.count) & ((1u << n) - 1);
    }
};

// Codes longer than 8 bits: one bit at a time against maxcode; the symbol,
// or -1 when no code matched.
BitState DecodeLong(JpegDecoderContext* ctx, const HuffmanTableRecord* t, BitState s, int32_t* symbol) {
    s.count -= 8;
    int32_t code = static_cast<int32_t>((s.buf >> s.count) & 0xFF);
    for (int l = 9; l <= 16; ++l) {
        s.count -= 1;
        code = (code << 1) | static_cast<int32_t>((s.buf >> s.count) & 1);
        if (code <= t->maxcode[l]) {
            const uint32_t index = t->firstIndex[l] + static_cast<uint32_t>(code) - t->mincode[l];
            if (index >= t->symbolCount) break;
            *symbol = t->huffval[index];
            return s;
        }
    }
    if (ctx->inputStatus > 0) ctx->inputStatus = kJpegCorruptData;
    *symbol = -1;
    return s;
}

inline bool Decode(BitReader& r, const HuffmanTableRecord* t, int32_t& symbol) {
    if (!r.Fill()) return false;
    const uint32_t e = t->lookup[r.Peek8()];
    const int32_t length = static_cast<int32_t>(e >> 8);
    if (length <= 8) {
        r.s.count -= length;
        symbol = static_cast<int32_t>(e & 0xFF);
        return true;
    }
    int32_t found;
    r.s = DecodeLong(r.ctx, t, r.s, &found);
    symbol = found;
    return found >= 0;
}

// EXTEND: s = 1..16 bits taken as a signed difference.
inline int32_t Extend(uint32_t v, int s) {
    return v < (1u << (s - 1)) ? static_cast<int32_t>(v) - static_cast<int32_t>((1u << s) - 1)
                               : static_cast<int32_t>(v);
}

// s bits after a Huffman code as a signed value (0 when s is 0); false when
// the fill fails.
inline bool Receive(BitReader& r, int s, int32_t& value) {
    if (s == 0) {
        value = 0;
        return true;
    }
    if (!r.FillAfterCode()) return false;
    value = Extend(r.Take(s), s);
    return true;
}

inline int32_t Fail(BitReader& r) {
    r.Save();
    return r.ctx->inputStatus;
}

// True when the bits taken reach into the zero bits padded where the input
// ended (those after a marker are not counted): what they decoded is cut,
// and the status says corrupt data.
inline bool PastInput(BitReader& r) {
    if (r.s.limit == kFillNormal || r.s.count >= r.ctx->zeroBits || r.ctx->entropyState <= 0) return false;
    r.ctx->inputStatus = kJpegCorruptData;
    return true;
}

}  // namespace

// The tables of the components the first scan decodes (later scans are
// checked as their headers are read).
JpegStatus CheckScanTables(JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i) {
        if (!ctx->componentInScan[i]) continue;
        const uint32_t dc = ctx->dcTableSelector[i];
        if (dc >= ctx->dcTableCount || !ctx->dcTables[dc].bits) return kJpegBadLength;
        if (ctx->frameMarker == 0xC0) {
            const uint32_t ac = ctx->acTableSelector[i];
            if (ac >= ctx->acTableCount || !ctx->acTables[ac].bits) return kJpegBadLength;
        }
    }
    return kJpegOk;
}

JpegStatus InitEntropyDecoder(JpegDecoderContext* ctx, uint32_t lookaheadBits) {
    ctx->naturalOrder = kZigzagToNatural;
    JpegStatus st = CheckScanTables(ctx);
    if (st < 1) return st;
    if (ctx->kernelPath) {
        // A kernel that failed to build a table or reset the bit state
        // leaves nothing to decode with.
        if ((st = InitEntropyDecoderByKernel(ctx)) != kJpegOk) return st < 0 ? st : kJpegBadValue;
        st = ctx->scanStart(ctx);
        return st == 0 ? kJpegBadValue : st;
    }
    ctx->scanStart = StartScan;
    ctx->scanEndMarkerReader = ReadScanEndMarker;
    ctx->markerSearch = SearchNextMarker;
    ctx->dataBytesHeld = DataBytesHeld;
    ctx->restartResync = ResyncToRestart;
    ctx->lookaheadBits = lookaheadBits;
    ctx->inputBuffer = static_cast<uint8_t*>(AllocBytes(ctx, kInputBufferBytes));
    if (!ctx->inputBuffer) return kJpegEndOrNoMemory;
    ctx->inputFill = ctx->inputPos = 0;
    return ctx->scanStart(ctx);
}

JpegStatus StartScan(JpegDecoderContext* ctx) {
    ctx->bitBuffer = 0;
    ctx->bitCount = 0;
    ctx->zeroBits = 0;
    ctx->fillThreshold = ctx->inputEnded ? kFillEnded : kFillNormal;
    ctx->entropyState = 1;
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i) ctx->dcPredictors[i] = 0;
    ctx->inputStatus = 1;
    ctx->eobRun = 0;
    if (ctx->frameMarker == 0xC2) {
        // Spectral selection and point transform the decoders can follow.
        if (ctx->scanSe > 63 || ctx->scanSs > ctx->scanSe || (ctx->scanAhAl & 15) > 13)
            return kJpegBadValue;
        const bool first = (ctx->scanAhAl >> 4) == 0;
        if (ctx->scanSs == 0)
            ctx->progressiveDecoder = first ? DecodeDcFirst : DecodeDcRefine;
        else
            ctx->progressiveDecoder = first ? DecodeAcFirst : DecodeAcRefine;
    } else {
        ctx->mcuDecoder = DecodeMcuSequential;
    }
    if (ctx->tablesChanged) {
        const JpegStatus st = BuildLookupTables(ctx, ctx->lookaheadBits);
        if (st < 1) return st;
        ctx->tablesChanged = 0;
    }
    return kJpegOk;
}

JpegStatus BuildLookupTables(JpegDecoderContext* ctx, uint32_t bits) {
    JpegStatus st = DetachHuffmanTables(ctx);
    if (st < 1) return st;
    ctx->lookaheadBits = bits;
    for (uint32_t i = 0; i < ctx->dcTableCount; ++i)
        if ((st = BuildLookupTable(ctx, &ctx->dcTables[i], bits)) != kJpegOk) return st;
    for (uint32_t i = 0; i < ctx->acTableCount; ++i)
        if ((st = BuildLookupTable(ctx, &ctx->acTables[i], bits)) != kJpegOk) return st;
    return kJpegOk;
}

namespace {

constexpr int kFastAcBits = 9;

// The codes of an AC table whose value bits follow within 9 bits.
JpegStatus BuildFastAcTable(JpegDecoderContext* ctx, HuffmanTableRecord* table) {
    FreeMemory(ctx, table->fastAc);
    table->fastAc = static_cast<int32_t*>(AllocZeroed(ctx, 1u << kFastAcBits, sizeof(int32_t)));
    if (!table->fastAc) return kJpegEndOrNoMemory;
    for (uint32_t rs = 0; rs < 256; ++rs) {
        const uint32_t l = table->codes[rs].length, c = table->codes[rs].code, size = rs & 15;
        if (l == 0 || size == 0 || l + size > kFastAcBits) continue;
        const uint32_t spare = kFastAcBits - l;
        for (uint32_t ext = 0; ext < (1u << spare); ++ext) {
            const uint32_t bits = ext >> (spare - size);
            const int32_t value = bits < (1u << (size - 1)) ? static_cast<int32_t>(bits) - static_cast<int32_t>((1u << size) - 1)
                                                             : static_cast<int32_t>(bits);
            table->fastAc[(c << spare) | ext] =
                static_cast<int32_t>(static_cast<uint32_t>(value) << 16) | static_cast<int32_t>((rs >> 4) << 8) |
                static_cast<int32_t>(l + size);
        }
    }
    return kJpegOk;
}

struct FastAc {
    bool ok;     // false: the fill failed (or k passed 63), inputStatus says why
    bool found;  // a code and its value were taken and k moved to its position
    int32_t value;
};

// While the data lasts, an AC code and its value bits in one step from the
// table (not when it holds nothing for the bits ahead).
inline FastAc TakeFastAc(BitReader& r, const int32_t* fast, int& k) {
    if (!fast || r.s.limit != kFillNormal) return {true, false, 0};
    if (r.s.count < kFillNormal && !r.Fill()) return {false, false, 0};
    if (r.s.limit != kFillNormal) return {true, false, 0};
    const int32_t e = fast[(r.s.buf >> (r.s.count - kFastAcBits)) & ((1u << kFastAcBits) - 1)];
    if (e == 0) return {true, false, 0};
    r.s.count -= e & 0xFF;
    k += (e >> 8) & 0xFF;
    if (k > 63) {
        r.ctx->inputStatus = kJpegCorruptData;
        return {false, false, 0};
    }
    return {true, true, e >> 16};
}

}  // namespace

JpegStatus BuildLookupTable(JpegDecoderContext* ctx, HuffmanTableRecord* table, uint32_t bits) {
    // The decoders look 8 bits ahead whatever is asked.
    (void)bits;
    FreeMemory(ctx, table->lookup);
    table->lookup = static_cast<uint16_t*>(AllocBytes(ctx, 256 * sizeof(uint16_t)));
    if (!table->lookup) return kJpegEndOrNoMemory;
    // Bits that no code of 8 bits or fewer begins with go to the long-code
    // search, which finds no code where none begins: corrupt data.
    std::fill_n(table->lookup, 256, static_cast<uint16_t>(9u << 8));
    if (!table->codes || !table->bits) {
        // An undefined table matches no code.
        for (int l = 1; l <= 16; ++l) table->maxcode[l] = -1;
        table->symbolCount = 0;
        return kJpegOk;
    }
    for (uint32_t s = 0; s < table->capacity; ++s) {
        const uint32_t l = table->codes[s].length, c = table->codes[s].code;
        if (l == 0) continue;
        if (l <= 8) {
            const uint32_t from = c << (8 - l), to = (c + 1) << (8 - l);
            for (uint32_t i = from; i < to && i < 256; ++i)
                table->lookup[i] = static_cast<uint16_t>((l << 8) | s);
        }
    }
    return table->capacity == 256 ? BuildFastAcTable(ctx, table) : kJpegOk;
}

JpegStatus DecodeMcuSequential(JpegDecoderContext* ctx, BlockRecord* block, int c) {
    const HuffmanTableRecord* dc = &ctx->dcTables[ctx->dcTableSelector[c]];
    const HuffmanTableRecord* ac = &ctx->acTables[ctx->acTableSelector[c]];
    const int32_t* m = ctx->quantMultipliers[c].values;
    int32_t* v = block->values;
    std::memset(v, 0, 64 * sizeof(int32_t));
    ctx->inputStatus = 1;
    BitReader r(ctx);
    int32_t s = 0, diff = 0;
    if (!Decode(r, dc, s) || !Receive(r, s, diff)) return Fail(r);
    ctx->dcPredictors[c] = WrapAdd(ctx->dcPredictors[c], diff);
    v[0] = WrapMul(m[0], ctx->dcPredictors[c]);
    block->end = 64;
    const uint8_t* natural = ctx->naturalOrder;
    const int32_t* fast = ac->fastAc;
    for (int k = 1; k < 64; ++k) {
        const FastAc f = TakeFastAc(r, fast, k);
        if (!f.ok) return Fail(r);
        if (f.found) {
            const int pos = natural[k];
            v[pos] = WrapMul(f.value, m[pos]);
            continue;
        }
        int32_t rs = 0;
        if (!Decode(r, ac, rs)) return Fail(r);
        if (rs == 0) {
            block->end = static_cast<uint32_t>(k);
            break;
        }
        int32_t value = 0;
        if (!Receive(r, rs & 15, value)) return Fail(r);
        k += rs >> 4;
        if (k > 63) {
            ctx->inputStatus = kJpegCorruptData;
            return Fail(r);
        }
        const int pos = natural[k];
        v[pos] = WrapMul(value, m[pos]);
    }
    if (PastInput(r)) return Fail(r);
    r.Save();
    return ctx->inputStatus;
}

namespace {

// Runs a block body over `count` consecutive blocks (64 coefficients each)
// with one bit reader; the first failure returns the input status.
template <class Body>
JpegStatus DecodeBlocks(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, Body body) {
    BitReader r(ctx);
    for (uint32_t i = 0; i < count; ++i)
        if (!body(r, blocks + 64 * size_t{i})) return Fail(r);
    r.Save();
    return ctx->inputStatus;
}

}  // namespace

JpegStatus DecodeDcFirst(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c) {
    const HuffmanTableRecord* dc = &ctx->dcTables[ctx->dcTableSelector[c]];
    const uint32_t al = ctx->scanAhAl & 15;
    int32_t& predictor = ctx->dcPredictors[c];
    return DecodeBlocks(ctx, blocks, count, [&](BitReader& r, int16_t* block) {
        int32_t s = 0, diff = 0;
        if (!Decode(r, dc, s) || !Receive(r, s, diff) || PastInput(r)) return false;
        predictor = WrapAdd(predictor, diff);
        block[0] = static_cast<int16_t>(static_cast<uint32_t>(predictor) << al);
        return true;
    });
}

JpegStatus DecodeDcRefine(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int) {
    const int32_t p1 = 1 << (ctx->scanAhAl & 15);
    return DecodeBlocks(ctx, blocks, count, [&](BitReader& r, int16_t* block) {
        if (!r.Fill()) return false;
        if (r.Take(1)) block[0] = static_cast<int16_t>(block[0] | p1);
        return !PastInput(r);
    });
}

JpegStatus DecodeAcFirst(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c) {
    const HuffmanTableRecord* ac = &ctx->acTables[ctx->acTableSelector[c]];
    const uint32_t al = ctx->scanAhAl & 15;
    const int ss = static_cast<int>(ctx->scanSs), se = static_cast<int>(ctx->scanSe);
    const int32_t* fast = ac->fastAc;
    return DecodeBlocks(ctx, blocks, count, [&](BitReader& r, int16_t* block) {
        // Blocks of an end-of-band run hold nothing of this band.
        if (ctx->eobRun > 0) {
            --ctx->eobRun;
            return true;
        }
        for (int k = ss; k <= se; ++k) {
            const FastAc f = TakeFastAc(r, fast, k);
            if (!f.ok) return false;
            if (f.found) {
                block[k] = static_cast<int16_t>(static_cast<uint32_t>(f.value) << al);
                continue;
            }
            int32_t rs = 0;
            if (!Decode(r, ac, rs)) return false;
            const int run = rs >> 4, s = rs & 15;
            if (s == 0) {
                if (run < 15) {
                    uint32_t extra = 0;
                    if (run > 0) {
                        if (!r.Fill()) return false;
                        extra = r.Take(run);
                    }
                    ctx->eobRun = (1u << run) - 1 + extra;
                    break;
                }
                k += 15;
            } else {
                int32_t value = 0;
                // Nothing decoded from the zeros after the input is kept.
                if (!Receive(r, s, value) || PastInput(r)) return false;
                k += run;
                if (k <= 63) block[k] = static_cast<int16_t>(static_cast<uint32_t>(value) << al);
            }
            if (k > 63) {
                ctx->inputStatus = kJpegCorruptData;
                return false;
            }
        }
        return !PastInput(r);
    });
}

JpegStatus DecodeAcRefine(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c) {
    const HuffmanTableRecord* ac = &ctx->acTables[ctx->acTableSelector[c]];
    const int32_t p1 = 1 << (ctx->scanAhAl & 15);
    const int32_t m1 = -p1;
    const int se = static_cast<int>(ctx->scanSe);
    const int ss = static_cast<int>(ctx->scanSs);
    const uint64_t upToSe = se >= 63 ? ~uint64_t{0} : (uint64_t{1} << (se + 1)) - 1;
    return DecodeBlocks(ctx, blocks, count, [&](BitReader& r, int16_t* block) {
    int k = ss;
    // Coefficients in zig-zag order: bit i of `nonzero` tells block[i] != 0.
    uint64_t nonzero = NonzeroMask64(block);
    int made[64];
    int madeCount = 0;
    // On failure the coefficients made non-zero here are set back to 0.
    auto undo = [&]() {
        for (int i = 0; i < madeCount; ++i) block[made[i]] = 0;
        return false;
    };
    auto corrupt = [&]() {
        if (ctx->inputStatus > 0) ctx->inputStatus = kJpegCorruptData;
        return undo();
    };
    // Every non-zero coefficient of `positions` takes a correction bit, in
    // order: when the bit is 1 and the coefficient lacks the bit p1, it grows
    // in magnitude by p1.
    // While the data lasts every bit held beyond 16 is real, so that the
    // fill points between them cannot fail: they are taken in one go.
    auto correct = [&](uint64_t positions) {
        while (positions) {
            if (!r.Fill()) return false;
            for (int safe = r.s.limit == kFillNormal ? r.s.count - 16 : 1; safe > 0 && positions;
                 --safe, positions &= positions - 1) {
                int16_t& coef = block[__builtin_ctzll(positions)];
                const int32_t value = coef;
                const int32_t grows = static_cast<int32_t>(r.Take(1) & ((value & p1) == 0));
                coef = static_cast<int16_t>(value + ((value >= 0 ? p1 : m1) & -grows));
            }
        }
        return true;
    };
    if (ctx->eobRun == 0) {
        while (k <= se) {
            int32_t rs = 0;
            if (!Decode(r, ac, rs)) return undo();
            int run = rs >> 4;
            const int s = rs & 15;
            int32_t value = 0;
            if (s != 0) {
                if (s != 1) return corrupt();
                if (!r.Fill()) return undo();
                value = r.Take(1) ? p1 : m1;
            } else if (run != 15) {
                ctx->eobRun = 1u << run;
                if (run > 0) {
                    if (!r.Fill()) return undo();
                    ctx->eobRun += r.Take(run);
                }
                break;
            }
            // The position of the (run + 1)-th zero coefficient from k on;
            // the non-zero ones before it are corrected.
            const uint64_t range = upToSe & ~((uint64_t{1} << k) - 1);
            uint64_t zeros = ~nonzero & range;
            for (; run > 0 && zeros; --run) zeros &= zeros - 1;
            const int pos = zeros ? __builtin_ctzll(zeros) : se + 1;
            // A coefficient made non-zero needs a zero one for it in the band.
            if (value != 0 && pos > se) return corrupt();
            const uint64_t before = pos >= 64 ? ~uint64_t{0} : (uint64_t{1} << pos) - 1;
            if (!correct(nonzero & range & before)) return undo();
            k = pos;
            if (value != 0) {
                block[k] = static_cast<int16_t>(value);
                nonzero |= uint64_t{1} << k;
                made[madeCount++] = k;
            }
            ++k;
        }
    }
    if (ctx->eobRun > 0) {
        if (k <= se && !correct(nonzero & upToSe & ~((uint64_t{1} << k) - 1))) return undo();
        --ctx->eobRun;
    }
    if (PastInput(r)) return undo();
    return true;
    });
}

// The bits held past those taken: the rest of the byte in use and whole
// bytes of data, then the marker's 0xFF where the data ended at one, then
// the zero bits padded. Fewer than the 0xFF and the padding: the last unit
// took bits past the data.
int32_t DataBytesHeld(JpegDecoderContext* ctx) {
    int32_t data = ctx->bitCount - ctx->zeroBits;
    if (ctx->entropyState == kJpegMarkerInData) data -= 8;
    return data < 0 ? -1 : data / 8;
}

void DropPartialByte(JpegDecoderContext* ctx) {
    ctx->bitCount -= ctx->bitCount % 8;
    if (ctx->zeroBits > ctx->bitCount) ctx->zeroBits = ctx->bitCount;
}

BlockRecord* AllocBlockRecords(JpegDecoderContext* ctx, uint32_t count) {
    auto* records = static_cast<BlockRecord*>(AllocZeroed(ctx, uint64_t{count} + 1, sizeof(BlockRecord)));
    auto* values = static_cast<int32_t*>(AllocZeroed(ctx, (uint64_t{count} + 1) * 64, sizeof(int32_t)));
    if (!records || !values) {
        FreeMemory(ctx, records);
        FreeMemory(ctx, values);
        return nullptr;
    }
    for (uint32_t k = 0; k <= count; ++k) records[k].values = values + 64 * size_t{k};
    ctx->blockRecords = records;
    ctx->blockValues = values;
    ctx->blockRecordCount = count;
    return records;
}

void FreeBlockRecords(JpegDecoderContext* ctx) {
    FreeMemory(ctx, ctx->blockValues);
    FreeMemory(ctx, ctx->blockRecords);
    FreeMemory(ctx, ctx->coefficientStore);
    FreeMemory(ctx, ctx->mcuRowReached);
    ctx->mcuRowReached = nullptr;
    ctx->blockValues = nullptr;
    ctx->blockRecords = nullptr;
    ctx->coefficientStore = nullptr;
    ctx->blockRecordCount = 0;
}

void ReleaseBlockRecords(JpegDecoderContext* ctx) {
    if (ctx->blockRecords || ctx->coefficientStore || ctx->mcuRowReached) FreeBlockRecords(ctx);
}

}  // namespace jpegdec
