// Dequantisation multipliers, the inverse transforms of the four output
// scales, the range-limit table, the block writers and the MCU geometry.
#include <array>
#include <atomic>
#include <cstring>
#include <initializer_list>

#include "jpegdec/jpeg_context.h"
#include "jpegdec/jpeg_idct_butterfly.h"
#include "jpegdec/jpeg_simd.h"

namespace jpegdec {

// 16384 x f(i) x f(j), f(0) = 1, f(k) = sqrt(2) cos(k pi / 16), rounded.
const int32_t kAanScaleTable[64] = {
    16384, 22725, 21407, 19266, 16384, 12873, 8867,  4520,  22725, 31521, 29692, 26722, 22725,
    17855, 12299, 6270,  21407, 29692, 27969, 25172, 21407, 16819, 11585, 5906,  19266, 26722,
    25172, 22654, 19266, 15137, 10426, 5315,  16384, 22725, 21407, 19266, 16384, 12873, 8867,
    4520,  12873, 17855, 16819, 15137, 12873, 10114, 6967,  3552,  8867,  12299, 11585, 10426,
    8867,  6967,  4799,  2446,  4520,  6270,  5906,  5315,  4520,  3552,  2446,  1247};

namespace {

// The range-limit table: entries 512..767 hold 0..255, 768..1407 hold 255,
// the rest 0. It is a constant of the program; users point at entry 640.
constexpr std::array<int32_t, 2048> MakeRangeTable() {
    std::array<int32_t, 2048> t{};
    for (int i = 0; i < 256; ++i) t[512 + i] = i;
    for (int i = 768; i < 1408; ++i) t[i] = 255;
    return t;
}
constexpr std::array<int32_t, 2048> kRangeTable = MakeRangeTable();
std::atomic<const int32_t*> g_rangeLimitTable{nullptr};

// x + 128 clamped, through the table where it reaches.
inline uint8_t RangeLimit(const int32_t* limit, int32_t x) {
    if (x < -511) return 0;
    if (x > 767) return 255;
    return static_cast<uint8_t>(limit[x]);
}

// The scalar lane of the butterfly: 32-bit two's complement arithmetic.
struct Lane {
    int32_t v;
};
inline Lane operator+(Lane a, Lane b) { return {WrapAdd(a.v, b.v)}; }
inline Lane operator-(Lane a, Lane b) { return {WrapSub(a.v, b.v)}; }
inline Lane M(Lane a, int32_t k) { return {WrapMul(a.v, k) >> 8}; }

void WritePatch(const JpegDecoderContext* ctx, const int32_t* values, uint32_t s, uint8_t* out,
                uint32_t stride) {
    if (s == 8) {
        if (ctx->blockStore)
            ctx->blockStore(values, out, stride);
        else
            StoreBlock8x8(values, out, stride);
        return;
    }
    const int32_t* limit = ctx->rangeLimit;
    for (uint32_t r = 0; r < s; ++r)
        for (uint32_t c = 0; c < s; ++c) out[r * stride + c] = RangeLimit(limit, values[8 * r + c]);
}

// Writes the blocks of component i's region, records taken in order.
BlockRecord* WriteComponentBlocks(const PlaneRecord& region, JpegDecoderContext* ctx, int i,
                                  BlockRecord* rec) {
    const uint32_t s = 8 / ctx->blockSize[i];
    uint8_t* rowStart = region.data;
    for (uint32_t h = region.rows; h >= 8; h -= 8) {
        uint8_t* p = rowStart;
        for (uint32_t w = region.width; w >= 8; w -= 8) {
            WritePatch(ctx, rec->values, s, p, region.stride);
            ++rec;
            p += s;
        }
        rowStart += size_t{s} * region.stride;
    }
    return rec;
}

// Reduced transforms: the 4-point and 2-point odd parts over one line.
inline int32_t Odd4a(int32_t x1, int32_t x3, int32_t x5, int32_t x7) {
    return WrapAdd(WrapAdd(WrapMul(-1730, x7), WrapMul(11893, x5)),
                   WrapAdd(WrapMul(-17799, x3), WrapMul(8697, x1)));
}
inline int32_t Odd4b(int32_t x1, int32_t x3, int32_t x5, int32_t x7) {
    return WrapAdd(WrapAdd(WrapMul(-4176, x7), WrapMul(-4926, x5)),
                   WrapAdd(WrapMul(7373, x3), WrapMul(20995, x1)));
}
inline int32_t Odd2(int32_t x1, int32_t x3, int32_t x5, int32_t x7) {
    return WrapAdd(WrapAdd(WrapMul(-5906, x7), WrapMul(6967, x5)),
                   WrapAdd(WrapMul(-10426, x3), WrapMul(29692, x1)));
}

// One 4-point line: x[k * step], outputs scaled by shift with rounding.
void Line4(const int32_t* x, int step, int32_t* out, int outStep, int shift) {
    const int32_t round = 1 << (shift - 1);
    const int32_t t0 = static_cast<int32_t>(static_cast<uint32_t>(x[0]) << 14);
    const int32_t t2 = WrapSub(WrapMul(15137, x[2 * step]), WrapMul(6270, x[6 * step]));
    const int32_t t10 = WrapAdd(t0, t2), t12 = WrapSub(t0, t2);
    const int32_t a = Odd4a(x[step], x[3 * step], x[5 * step], x[7 * step]);
    const int32_t b = Odd4b(x[step], x[3 * step], x[5 * step], x[7 * step]);
    out[0] = WrapAdd(WrapAdd(t10, b), round) >> shift;
    out[3 * outStep] = WrapAdd(WrapSub(t10, b), round) >> shift;
    out[outStep] = WrapAdd(WrapAdd(t12, a), round) >> shift;
    out[2 * outStep] = WrapAdd(WrapSub(t12, a), round) >> shift;
}

void Line2(const int32_t* x, int step, int32_t* out, int outStep, int shift) {
    const int32_t round = 1 << (shift - 1);
    const int32_t t10 = static_cast<int32_t>(static_cast<uint32_t>(x[0]) << 15);
    const int32_t a = Odd2(x[step], x[3 * step], x[5 * step], x[7 * step]);
    out[0] = WrapAdd(WrapAdd(t10, a), round) >> shift;
    out[outStep] = WrapAdd(WrapSub(t10, a), round) >> shift;
}

}  // namespace

// ---- range limit ----

JpegStatus BuildRangeLimitTable(const JpegAllocatorRecord*, void*) {
    g_rangeLimitTable.store(kRangeTable.data());
    return kJpegOk;
}

void FreeRangeLimitTable(const JpegAllocatorRecord*, void*) { g_rangeLimitTable.store(nullptr); }

JpegStatus PrepareRangeLimit(JpegDecoderContext* ctx) {
    const int32_t* table = g_rangeLimitTable.load();
    if (!table) {
        BuildRangeLimitTable(nullptr, nullptr);
        table = kRangeTable.data();
    }
    ctx->rangeLimit = table + 640;
    return kJpegOk;
}

// ---- multipliers ----

JpegStatus InitQuantTables(JpegDecoderContext* ctx, uint32_t mode, uint32_t) {
    if (mode != 0) return kJpegBadArgument;
    if (ctx->quantTables16Bit) return kJpegUnsupported;
    for (uint32_t i = 0; i < ctx->quantTableCount; ++i) ctx->quantTables[i].derived = nullptr;
    for (uint32_t c = 0; c < ctx->componentCount; ++c) {
        const uint32_t t = ctx->quantSelector[c];
        if (t >= ctx->quantTableCount || !ctx->quantTables) return kJpegBadLength;
        for (uint32_t q : ctx->quantTables[t].values)
            if (q == 0) return kJpegBadLength;
    }
    // One record per component, in the form its transform wants.
    ctx->quantMultipliers = static_cast<MultiplierRecord*>(AllocZeroed(ctx, kMaxComponents, sizeof(MultiplierRecord)));
    if (!ctx->quantMultipliers) return kJpegEndOrNoMemory;
    if (ctx->kernelPath) return BuildDequantTables16(ctx);
    for (uint32_t c = 0; c < ctx->componentCount; ++c) {
        const uint32_t* q = ctx->quantTables[ctx->quantSelector[c]].values;
        MultiplierRecord& m = ctx->quantMultipliers[c];
        m.form = ctx->blockSize[c] == 1 ? 1 : 0;
        for (int i = 0; i < 64; ++i)
            m.values[i] = m.form ? WrapAdd(WrapMul(static_cast<int32_t>(q[i]), kAanScaleTable[i]), 8) >> 4
                                 : static_cast<int32_t>(q[i]);
    }
    return kJpegOk;
}

void ReleaseQuantTables(JpegDecoderContext* ctx) {
    if (!ctx->haveQuantTables) {
        for (uint32_t i = 0; ctx->quantTables && i < ctx->quantTableCount; ++i)
            FreeMemory(ctx, ctx->quantTables[i].derived);
        FreeMemory(ctx, ctx->quantTables);
    }
    ctx->quantTables = nullptr;
    ctx->quantTableCount = 0;
    ctx->quantTables16Bit = 0;
    FreeMemory(ctx, ctx->quantMultipliers);
    ctx->quantMultipliers = nullptr;
    if (ctx->kernelPath) FreeDequantTables16(ctx);
}

// ---- transforms ----

void IdctFastScalar(int32_t* v) {
    int32_t w[64];
    Lane y[8];
    for (int c = 0; c < 8; ++c) {
        const int32_t* x = v + c;
        if ((x[8] | x[16] | x[24] | x[32] | x[40] | x[48] | x[56]) == 0) {
            for (int r = 0; r < 8; ++r) w[8 * r + c] = x[0];
            continue;
        }
        AanButterfly(Lane{x[0]}, Lane{x[8]}, Lane{x[16]}, Lane{x[24]}, Lane{x[32]}, Lane{x[40]},
                     Lane{x[48]}, Lane{x[56]}, y);
        for (int r = 0; r < 8; ++r) w[8 * r + c] = y[r].v;
    }
    for (int r = 0; r < 8; ++r) {
        const int32_t* x = w + 8 * r;
        int32_t* out = v + 8 * r;
        if ((x[1] | x[2] | x[3] | x[4] | x[5] | x[6] | x[7]) == 0) {
            for (int c = 0; c < 8; ++c) out[c] = x[0] >> 13;
            continue;
        }
        AanButterfly(Lane{x[0]}, Lane{x[1]}, Lane{x[2]}, Lane{x[3]}, Lane{x[4]}, Lane{x[5]},
                     Lane{x[6]}, Lane{x[7]}, y);
        for (int c = 0; c < 8; ++c) out[c] = y[c].v >> 13;
    }
}

void IdctFastProgressiveScalar(const int16_t* coefficients, const int32_t* multipliers,
                               uint8_t* out, uint32_t stride) {
    int32_t v[64];
    for (int i = 0; i < 64; ++i) v[i] = WrapMul(coefficients[kNaturalToZigzag.at[i]], multipliers[i]);
    IdctFastScalar(v);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) out[r * stride + c] = ClampSample(v[8 * r + c]);
}

void StoreBlock8x8Scalar(const int32_t* values, uint8_t* out, uint32_t stride) {
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) out[r * stride + c] = ClampSample(values[8 * r + c]);
}

void IdctFast(JpegDecoderContext*, BlockRecord* block, int) {
#if defined(__SSE2__)
    IdctFastSse2(block->values);
#else
    IdctFastScalar(block->values);
#endif
}

void IdctFastProgressive(JpegDecoderContext* ctx, const int16_t* coefficients, int c, uint8_t* out,
                         uint32_t stride) {
#if defined(__SSE2__)
    IdctFastProgressiveSse2(coefficients, ctx->quantMultipliers[c].values, out, stride);
#else
    IdctFastProgressiveScalar(coefficients, ctx->quantMultipliers[c].values, out, stride);
#endif
}

void StoreBlock8x8(const int32_t* values, uint8_t* out, uint32_t stride) {
#if defined(__SSE2__)
    StoreBlock8x8Sse2(values, out, stride);
#else
    StoreBlock8x8Scalar(values, out, stride);
#endif
}

void IdctReduced4x4(JpegDecoderContext*, BlockRecord* block, int) {
    int32_t* v = block->values;
    int32_t w[32];  // 4 rows of 8 columns
    for (int c = 0; c < 8; ++c) {
        if (c == 4) continue;
        const int32_t* x = v + c;
        if ((x[8] | x[16] | x[24] | x[40] | x[48] | x[56]) == 0) {
            const int32_t d = static_cast<int32_t>(static_cast<uint32_t>(x[0]) << 2);
            for (int r = 0; r < 4; ++r) w[8 * r + c] = d;
            continue;
        }
        Line4(x, 8, w + c, 8, 12);
    }
    for (int r = 0; r < 4; ++r) {
        const int32_t* x = w + 8 * r;
        int32_t out[4];
        if ((x[1] | x[2] | x[3] | x[5] | x[6] | x[7]) == 0) {
            for (int c = 0; c < 4; ++c) out[c] = x[0] >> 5;
        } else {
            Line4(x, 1, out, 1, 19);
        }
        for (int c = 0; c < 4; ++c) v[8 * r + c] = out[c];
    }
}

void IdctReduced2x2(JpegDecoderContext*, BlockRecord* block, int) {
    int32_t* v = block->values;
    int32_t w[16];  // 2 rows of 8 columns
    for (int c : {0, 1, 3, 5, 7}) {
        const int32_t* x = v + c;
        if ((x[8] | x[24] | x[40] | x[56]) == 0) {
            w[c] = w[8 + c] = static_cast<int32_t>(static_cast<uint32_t>(x[0]) << 2);
            continue;
        }
        Line2(x, 8, w + c, 8, 13);
    }
    for (int r = 0; r < 2; ++r) {
        const int32_t* x = w + 8 * r;
        int32_t out[2];
        if ((x[1] | x[3] | x[5] | x[7]) == 0)
            out[0] = out[1] = x[0] >> 5;
        else
            Line2(x, 1, out, 1, 20);
        v[8 * r] = out[0];
        v[8 * r + 1] = out[1];
    }
}

void IdctDcOnly(JpegDecoderContext*, BlockRecord* block, int) { block->values[0] >>= 3; }

// ---- block writers ----

void WriteBlocksClamped(PlaneRecord* regions, JpegDecoderContext* ctx, BlockRecord* first) {
    BlockRecord* rec = first;
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        if (ctx->selectedComponent >= 0 && static_cast<uint32_t>(ctx->selectedComponent) != i) {
            rec += ctx->mcuCompBlocks[i];
            continue;
        }
        rec = WriteComponentBlocks(regions[i], ctx, static_cast<int>(i), rec);
    }
}

void WriteBlocksLumaOnly(PlaneRecord* regions, JpegDecoderContext* ctx, BlockRecord* first) {
    WriteComponentBlocks(regions[0], ctx, 0, first);
}

void WriteBlockSingle(PlaneRecord* regions, JpegDecoderContext* ctx, BlockRecord* first) {
    WritePatch(ctx, first->values, 8, regions[0].data, regions[0].stride);
}

void SelectBlockWriter(JpegDecoderContext* ctx) {
    switch (ctx->componentCount) {
        case 1:
            ctx->blockWriter = ctx->scaleDenom == 1 ? WriteBlockSingle : WriteBlocksClamped;
            break;
        case 3:
            ctx->blockWriter = ctx->luminanceOnly ? WriteBlocksLumaOnly : WriteBlocksClamped;
            break;
        case 4:
            ctx->blockWriter = WriteBlocksClamped;
            break;
        default:
            break;
    }
}

// ---- MCU geometry ----

JpegStatus InitMcuGeometry(JpegDecoderContext* ctx, uint32_t direction) {
    if (direction != 0) return kJpegBadArgument;
    const bool lossless = ctx->frameMarker == 0xC3;
    uint32_t tallest = lossless ? 1 : 8;
    ctx->mcuColumn = 0;
    ctx->carriedSkip = 0;
    ctx->intervalDamaged = 0;
    if (ctx->componentCount == 1) {
        if (lossless) {
            ctx->mcuBlocksH[0] = ctx->mcuBlocksV[0] = 1;
            ctx->mcuWidth[0] = ctx->mcuHeight[0] = 1;
        } else {
            ctx->mcuWidth[0] = ctx->mcuHeight[0] = 8;
        }
        ctx->mcuCompBlocks[0] = 1;
        ctx->blocksPerMcu = 1;
    } else {
        ctx->blocksPerMcu = 0;
        for (uint32_t i = 0; i < ctx->componentCount; ++i) {
            uint32_t h = ctx->rawSamplingH[i];
            const uint32_t v = ctx->rawSamplingV[i];
            // A decoder of one component takes a whole row of its blocks as
            // its unit.
            if (ctx->selectedComponent >= 0 && !lossless)
                h = ((uint32_t{ctx->width} + 7) / 8 + ctx->hRatio[i] - 1) / ctx->hRatio[i];
            ctx->mcuBlocksH[i] = h;
            ctx->mcuBlocksV[i] = v;
            ctx->mcuWidth[i] = lossless ? h : 8 * h;
            ctx->mcuHeight[i] = lossless ? v : 8 * v;
            ctx->mcuCompBlocks[i] = h * v;
            ctx->blocksPerMcu += h * v;
            if (ctx->mcuHeight[i] > tallest) tallest = ctx->mcuHeight[i];
        }
    }
    SelectBlockWriter(ctx);
    const uint32_t widest = MaxOverComponents(ctx, ctx->mcuWidth);
    ctx->mcusPerRow = (uint32_t{ctx->width} + widest - 1) / widest;
    ctx->mcuRows = (uint32_t{ctx->height} + tallest - 1) / tallest;
    ctx->mcuRow = 0;
    ctx->blockCursor = -1;
    if (ctx->frameMarker == 0xC2) {
        // Every block of the image keeps its coefficients from scan to scan.
        const uint64_t blocks = uint64_t{ctx->mcusPerRow} * ctx->mcuRows * ctx->blocksPerMcu;
        if (blocks == 0 || blocks * 64 * sizeof(int16_t) > ctx->memoryLimit) return kJpegEndOrNoMemory;
        // The store itself is allocated when the scans are decoded.
        ctx->blockRecordCount = static_cast<uint32_t>(blocks);
        uint64_t offset = 0;
        for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i) {
            const uint32_t h = ctx->mcuBlocksH[i] ? ctx->mcuBlocksH[i] : 1;
            const uint32_t v = ctx->mcuBlocksV[i] ? ctx->mcuBlocksV[i] : 1;
            ctx->storeOffset[i] = offset;
            ctx->storeBlocksWide[i] = ctx->mcusPerRow * h;
            offset += uint64_t{ctx->mcusPerRow} * h * ctx->mcuRows * v;
        }
    } else if (!AllocBlockRecords(ctx, ctx->blocksPerMcu)) {
        return kJpegEndOrNoMemory;
    }
    return PrepareRangeLimit(ctx);
}

}  // namespace jpegdec
