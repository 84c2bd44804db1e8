// The kernel-backed path: its state, its input buffer, the Huffman tables
// and bit state of the kernel rows, block decoding by row 18, the inverse
// DCT by row 13's column, and the markers read from the path's buffer.
#include "jpegdec/jpeg_kernelpath.h"

#include <atomic>
#include <cstring>

#include "platform/byte_count.h"

namespace jpegdec {

namespace {

std::atomic<uint64_t> g_kernelPathStarts{0};

constexpr uint32_t kDctRefillBelow = kWorstBlockBytes;

// The capacity of a lossless frame's input: at least two worst-case rows,
// so that every refill brings a whole row.
JpegStatus LosslessCapacity(const JpegDecoderContext* ctx, uint32_t* capacity, uint32_t* worstRow) {
    const platform::ByteCount row =
        platform::ByteCount(ctx->width) * ctx->componentCount * kWorstSampleBytes + 16;
    const platform::ByteCount twice = row * 2;
    if (!twice.fits<int32_t>()) return kJpegEndOrNoMemory;
    *worstRow = static_cast<uint32_t>(row.value());
    *capacity = static_cast<uint32_t>(twice.value()) > kLosslessInputMinimum ? static_cast<uint32_t>(twice.value())
                                                                           : kLosslessInputMinimum;
    return kJpegOk;
}

JpegStatus AllocateInput(JpegDecoderContext* ctx, KernelPathState* s) {
    uint32_t worstRow = kWorstBlockBytes;
    if (ctx->frameMarker == 0xC3) {
        const JpegStatus st = LosslessCapacity(ctx, &s->capacity, &worstRow);
        if (st < 1) return st;
        s->refillBelow = worstRow;
        // The look-ahead decoders read up to a worst-case row (and eight
        // bytes of look-ahead) past the position without checking.
        s->tail = worstRow + 16;
    } else {
        s->capacity = kDctInputCapacity;
        s->refillBelow = kDctRefillBelow;
        s->tail = 16;
    }
    if (ctx->testSmallestBuffers) s->capacity = worstRow;
    s->inputStart = static_cast<uint8_t*>(AllocZeroed(ctx, uint64_t{s->capacity} + s->tail, 1));
    if (!s->inputStart) return kJpegEndOrNoMemory;
    s->inputPosition = s->inputStart;
    s->consumed = 0;
    s->remaining = 0;
    s->filled = 0;
    s->sourceEnded = 0;
    return kJpegOk;
}

// Reads up to n bytes within the input's length; fewer means the source
// has ended.
uint32_t ReadSource(JpegDecoderContext* ctx, uint8_t* to, uint32_t n) {
    int64_t want = n;
    if (ctx->bytesLeft >= 0 && ctx->bytesLeft < want) want = ctx->bytesLeft;
    const int32_t got = SourceReadAll(ctx, to, static_cast<int32_t>(want));
    if (ctx->bytesLeft > 0) ctx->bytesLeft -= got;
    return static_cast<uint32_t>(got);
}

}  // namespace

void RefillKernelInput(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    if (s->sourceEnded) return;
    const uint32_t keep = s->remaining > 0 ? static_cast<uint32_t>(s->remaining) : 0;
    if (keep > 0 && s->inputPosition != s->inputStart) std::memmove(s->inputStart, s->inputPosition, keep);
    const uint32_t want = s->capacity > keep ? s->capacity - keep : 0;
    const uint32_t got = ReadSource(ctx, s->inputStart + keep, want);
    if (got < want) s->sourceEnded = 1;
    s->filled = keep + got;
    // The pad byte of a DICOM fragment is left out of the data.
    const uint8_t* last = s->inputStart + s->filled - 1;
    if (s->sourceEnded && s->filled > 1 && EndsInPadByte(ctx, last[0], last[-1])) --s->filled;
    s->inputPosition = s->inputStart;
    s->consumed = 0;
    s->remaining = static_cast<int32_t>(s->filled);
    // What follows the data reads as zero bytes.
    std::memset(s->inputStart + s->filled, 0, s->capacity - s->filled + s->tail);
}

JpegStatus InitKernelPath(JpegDecoderContext* ctx) {
    ctx->kernelState = AllocZeroed(ctx, 1, sizeof(KernelPathState));
    if (!ctx->kernelState) return kJpegEndOrNoMemory;
    g_kernelPathStarts.fetch_add(1, std::memory_order_relaxed);
    return kJpegOk;
}

uint64_t JpegKernelPathStarts() { return g_kernelPathStarts.load(std::memory_order_relaxed); }

JpegStatus BuildHuffmanTablesByKernel(JpegDecoderContext* ctx, const uint8_t* bits, const uint8_t* huffval,
                                      jpegkernels::HuffmanDecoderTable** where) {
    *where = nullptr;
    if (!bits || !huffval) return kJpegOk;
    int32_t size = 0;
    if (KernelCall<KernelRow::HuffmanDecoderTableSize>(&size) != 0 || size < 1) return 0;
    auto* table = static_cast<jpegkernels::HuffmanDecoderTable*>(AllocBytes(ctx, static_cast<uint64_t>(size)));
    if (!table) return kJpegEndOrNoMemory;
    *where = table;
    return KernelCall<KernelRow::HuffmanDecoderTableInit>(bits, huffval, table) == 0 ? kJpegOk : 0;
}

JpegStatus InitEntropyDecoderByKernel(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    const bool lossless = ctx->frameMarker == 0xC3;
    ctx->scanStart = lossless ? StartScanLosslessByKernel : StartScanSequentialByKernel;
    ctx->scanEndMarkerReader = ReadScanEndMarkerByKernel;
    ctx->markerSearch = NextMarkerByKernel;
    ctx->restartResync = ResyncToRestartByKernel;
    JpegStatus st = AllocateInput(ctx, s);
    if (st < 1) return st;
    // Tables shared from a tables record are read, never changed.
    struct Class {
        HuffmanTableRecord* records;
        uint32_t count;
        jpegkernels::HuffmanDecoderTable*** tables;
    };
    s->dcTableCount = ctx->dcTableCount;
    s->acTableCount = ctx->acTableCount;
    const Class classes[2] = {{ctx->dcTables, ctx->dcTableCount, &s->dcTables},
                              {ctx->acTables, ctx->acTableCount, &s->acTables}};
    for (const Class& c : classes) {
        *c.tables = static_cast<jpegkernels::HuffmanDecoderTable**>(
            AllocZeroed(ctx, c.count > 0 ? c.count : 1, sizeof(jpegkernels::HuffmanDecoderTable*)));
        if (!*c.tables) return kJpegEndOrNoMemory;
        for (uint32_t i = 0; i < c.count; ++i) {
            const HuffmanTableRecord& r = c.records[i];
            if (!r.bits) continue;
            if ((st = BuildHuffmanTablesByKernel(ctx, r.bits, r.huffval, &(*c.tables)[i])) != kJpegOk) return st;
        }
    }
    s->lookaheadDecoding = 0;
    s->integratedPredictor = 0;
    if (lossless && ctx->componentCount == 1 && (st = SetUpLosslessLookahead(ctx)) < 1) return st;
    ctx->dataBytesHeld = s->lookaheadDecoding ? DataBytesHeldByLookahead : DataBytesHeldByKernel;
    int32_t size = 0;
    if (KernelCall<KernelRow::HuffmanDecoderStateSize>(&size) != 0 || size < 1) return 0;
    s->bitState = static_cast<jpegkernels::HuffmanDecoderState*>(AllocZeroed(ctx, 1, static_cast<uint64_t>(size)));
    if (!s->bitState) return kJpegEndOrNoMemory;
    s->dequantIdct = jpegkernels::ChosenDequantInverseDct8x8To32();
    s->dequantIdctToPatch = jpegkernels::ChosenDequantInverseDct8x8ToPatch();
    ctx->blockStore = jpegkernels::ChosenWriteBlock8x8();
    return KernelCall<KernelRow::HuffmanDecoderStateInit>(s->bitState) == 0 ? kJpegOk : 0;
}

JpegStatus StartScanSequentialByKernel(JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i) ctx->dcPredictors[i] = 0;
    ctx->mcuDecoder = DecodeScanSequentialByKernel;
    return KernelCall<KernelRow::HuffmanDecoderStateInit>(KernelState(ctx)->bitState) == 0 ? kJpegOk : 0;
}

namespace {

// Row 18 on the next block of scan component k: its 64 quantised
// coefficients (natural order) into `coefficients`. The window is the whole
// filled buffer and the position the consumed count itself, so that the
// next block starts from what this one stored, with nothing worked out
// between them.
inline JpegStatus DecodeBlockByKernel(JpegDecoderContext* ctx, KernelPathState* s, int16_t* coefficients, int k,
                                      const jpegkernels::HuffmanDecoderTable* dc,
                                      const jpegkernels::HuffmanDecoderTable* ac) {
    KeepKernelInput(ctx, s);
    int16_t predictor = 0;
    jpegkernels::MarkerWord marker = 0;
    bool again = false;
    const KernelStatus r = RunWithRefill(ctx, s, [&] {
        // A retry starts again where the block began (the position, which
        // follows the consumed count only below), in the refilled buffer.
        if (again) s->consumed = static_cast<uint32_t>(s->inputPosition - s->inputStart);
        again = true;
        predictor = static_cast<int16_t>(ctx->dcPredictors[k]);
        marker = ctx->pendingMarker;
        return KernelCall<KernelRow::HuffmanDecodeBlock8x8>(s->inputStart, static_cast<int32_t>(s->filled),
                                                            &s->consumed, coefficients, &predictor, &marker, dc, ac,
                                                            s->bitState);
    });
    ctx->dcPredictors[k] = predictor;
    ctx->pendingMarker = marker;
    FollowConsumedInput(s);
    if (r == 0) return kJpegOk;
    // The input is exhausted when the data ran out with nothing more to
    // read; other failures are damage that a restart marker may end.
    if (r == jpegkernels::kKernelDataEnded) ctx->inputEnded = 1;
    return kJpegCorruptData;
}

}  // namespace

JpegStatus DecodeScanSequentialByKernel(JpegDecoderContext* ctx, BlockRecord* block, int k) {
    KernelPathState* s = KernelState(ctx);
    return DecodeBlockByKernel(ctx, s, reinterpret_cast<int16_t*>(block->values), k,
                               s->dcTables[ctx->dcTableSelector[k]], s->acTables[ctx->acTableSelector[k]]);
}

namespace {

// The blocks of an MCU, component by component and within one row by row.
JpegStatus PlanMcuBlocks(JpegDecoderContext* ctx, KernelPathState* s) {
    s->mcuBlocks = static_cast<KernelMcuBlock*>(AllocZeroed(ctx, ctx->blocksPerMcu, sizeof(KernelMcuBlock)));
    if (!s->mcuBlocks) return kJpegEndOrNoMemory;
    KernelMcuBlock* b = s->mcuBlocks;
    for (uint32_t c = 0; c < ctx->componentCount; ++c) {
        const PlaneRecord& plane = ctx->componentRows[c].plane;
        // One component: one block an MCU, whatever its sampling.
        const uint32_t across = ctx->componentCount == 1 ? 1 : ctx->mcuBlocksH[c];
        const uint32_t down = ctx->componentCount == 1 ? 1 : ctx->mcuBlocksV[c];
        for (uint32_t by = 0; by < down; ++by)
            for (uint32_t bx = 0; bx < across; ++bx, ++b)
                *b = KernelMcuBlock{s->dcTables[ctx->dcTableSelector[c]],
                                    s->acTables[ctx->acTableSelector[c]],
                                    s->dequantTables + 64 * size_t{ctx->quantSelector[c]},
                                    plane.data + 8 * (size_t{by} * plane.stride + bx),
                                    ctx->mcuWidth[c],
                                    static_cast<ptrdiff_t>(plane.stride),
                                    static_cast<int>(c)};
    }
    s->mcuBlockCount = static_cast<uint32_t>(b - s->mcuBlocks);
    return kJpegOk;
}

}  // namespace

JpegStatus DecodeMcusByKernel(JpegDecoderContext* ctx, uint32_t* mcu, uint32_t end) {
    KernelPathState* s = KernelState(ctx);
    if (!s->mcuBlocks && PlanMcuBlocks(ctx, s) < 1) return kJpegEndOrNoMemory;
    alignas(16) int16_t coefficients[64];
    const KernelMcuBlock* last = s->mcuBlocks + s->mcuBlockCount;
    for (; *mcu < end; ++*mcu) {
        for (const KernelMcuBlock* b = s->mcuBlocks; b != last; ++b) {
            const JpegStatus st = DecodeBlockByKernel(ctx, s, coefficients, b->component, b->dc, b->ac);
            if (st < 1) return st;
            s->dequantIdctToPatch(coefficients, b->dequant, b->corner + *mcu * b->mcuStep, b->stride);
        }
    }
    return kJpegOk;
}

void DequantIdctByKernel(JpegDecoderContext* ctx, BlockRecord* block, int c) {
    KernelPathState* s = KernelState(ctx);
    // The quantised coefficients in the first 128 bytes of the record are
    // read before the 64 32-bit samples replace them.
    s->dequantIdct(reinterpret_cast<const int16_t*>(block->values), block->values,
                   s->dequantTables + 64 * size_t{ctx->quantSelector[c]});
}

JpegStatus BuildDequantTables16(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    s->dequantTables = static_cast<int16_t*>(AllocZeroed(ctx, uint64_t{ctx->quantTableCount} * 64, sizeof(int16_t)));
    if (!s->dequantTables) return kJpegEndOrNoMemory;
    for (uint32_t i = 0; i < ctx->quantTableCount; ++i)
        for (int j = 0; j < 64; ++j)
            s->dequantTables[64 * size_t{i} + j] = static_cast<int16_t>(ctx->quantTables[i].values[j] & 0xFFFF);
    return kJpegOk;
}

// ---- markers in the path's buffer ----

JpegStatus KernelReadByte(JpegDecoderContext* ctx, uint8_t* byte) {
    KernelPathState* s = KernelState(ctx);
    if (s->remaining < 1) {
        RefillKernelInput(ctx);
        if (s->remaining < 1) return kJpegReadError;
    }
    *byte = *s->inputPosition;
    AdvanceKernelInput(s, 1);
    return kJpegOk;
}

JpegStatus ReadNumberOfLinesByKernel(JpegDecoderContext* ctx) {
    uint8_t segment[4];
    for (uint8_t& b : segment)
        if (KernelReadByte(ctx, &b) < 1) return kJpegReadError;
    ctx->height = static_cast<uint16_t>(segment[2] << 8 | segment[3]);
    return kJpegOk;
}

namespace {

// The next byte of the path's buffer, or -1 at the end of the input.
int32_t KernelByteOrEnd(JpegDecoderContext* ctx) {
    uint8_t b = 0;
    return KernelReadByte(ctx, &b) < 1 ? -1 : b;
}

}  // namespace

JpegStatus ReadScanEndMarkerByKernel(JpegDecoderContext* ctx) {
    const JpegStatus marker = ReadMarkerWith(ctx, KernelByteOrEnd, kJpegCorruptData);
    if (marker < 0) return marker;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0xD9) {
        ctx->scanEndMarker = static_cast<uint8_t>(marker);
        return kJpegOk;
    }
    if (marker == 0xDC) ReadNumberOfLinesByKernel(ctx);
    return kJpegCorruptData;
}

JpegStatus NextMarkerByKernel(JpegDecoderContext* ctx) { return SearchMarkerWith(ctx, KernelByteOrEnd); }

// The kernels' bit state holds bits of data only, the input position after
// them.
int32_t DataBytesHeldByKernel(JpegDecoderContext* ctx) { return KernelState(ctx)->bitState->bitCount / 8; }

JpegStatus ResyncToRestartByKernel(JpegDecoderContext* ctx, int n) {
    if (n < 1) return kJpegOk;
    for (;;) {
        const JpegStatus m = NextMarkerByKernel(ctx);
        if (m < 0) return kJpegReadError;
        if (m == 0xDC) {
            ReadNumberOfLinesByKernel(ctx);
            return kJpegCorruptData;
        }
        if (m == 0xD9) {
            // The scan has ended: nothing more of it can be found.
            ctx->scanEndMarker = 0xD9;
            return kJpegOk;
        }
        if (m >= 0xD0 && m <= 0xD7) {
            ctx->scanEndMarker = static_cast<uint8_t>(m);
            if (--n == 0) return kJpegOk;
        }
    }
}

// ---- release ----

void FreeBlock(JpegDecoderContext* ctx, void* block) { FreeMemory(ctx, block); }

void FreeKernelPathBuffers(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    if (!s) return;
    for (auto* tables : {&s->dcTables, &s->acTables}) {
        const uint32_t count = tables == &s->dcTables ? s->dcTableCount : s->acTableCount;
        for (uint32_t i = 0; *tables && i < count; ++i) FreeBlock(ctx, (*tables)[i]);
        FreeBlock(ctx, *tables);
        *tables = nullptr;
    }
    FreeBlock(ctx, s->bitState);
    s->bitState = nullptr;
    FreeBlock(ctx, s->mcuBlocks);
    s->mcuBlocks = nullptr;
    FreeBlock(ctx, s->inputStart);
    s->inputStart = s->inputPosition = nullptr;
    if (s->lookaheadDecoding) FreeLosslessLookahead(ctx);
}

void FreeDequantTables16(JpegDecoderContext* ctx) {
    KernelPathState* s = KernelState(ctx);
    if (!s) return;
    FreeBlock(ctx, s->dequantTables);
    s->dequantTables = nullptr;
}

void FreeKernelPathState(JpegDecoderContext* ctx) {
    FreeBlock(ctx, ctx->kernelState);
    ctx->kernelState = nullptr;
}

}  // namespace jpegdec
