#pragma once
// The kernel-backed path of the decoder: frames decoded whole hand Huffman
// decoding, the inverse DCT and lossless reconstruction to the kernel set.
// Only the decoder's own sources include this header.
//
// Every kernel row is reached through KernelCall, which hands its arguments
// unchanged to the row's dispatch stub (the stub picks the processor
// column); the decoder never names a processor build.
#include <cstdint>
#include <utility>

#include "jpegdec/jpeg_context.h"
#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/kernel_dispatch.h"

namespace jpegdec {

using jpegkernels::KernelRow;
using jpegkernels::KernelStatus;

template <KernelRow R, class... A>
inline KernelStatus KernelCall(A&&... args) {
    return jpegkernels::KernelDispatchStub<R>(std::forward<A>(args)...);
}

// Input block sizes. A DCT block needs at most 417 bytes of entropy-coded
// data (every code and value at its longest, every byte a stuffed 0xFF); a
// lossless sample at most 8 (a 16-bit code and 15 value bits, stuffed).
inline constexpr uint32_t kWorstBlockBytes = 420;
inline constexpr uint32_t kWorstSampleBytes = 8;
inline constexpr uint32_t kDctInputCapacity = 32768;
inline constexpr uint32_t kLosslessInputMinimum = 262144;

// Two-level look-ahead tables of the single-component lossless decoders.
// Table slots by DC table id; a slot of an id without symbols is all null.
struct LookaheadSlot {
    uint16_t* firstLength;     // 256: code and value bits, 255 = a longer code
    uint16_t* firstCategory;   // 256: the value's bit count (category)
    uint16_t* secondLength;    // 256: by the 8 bits after the first 8
    uint16_t* secondCategory;  // 256
    int16_t* firstValue;       // 256: the finished difference where it fits
    void* unused0;
    void* unused1;
    uint32_t* codeLengths;  // per symbol, in HUFFVAL order
    uint32_t* codes;        // per symbol
    void* unused2;
};

inline constexpr uint32_t kLookaheadSlots = 16;

struct LosslessLookaheadTables {
    LookaheadSlot slots[kLookaheadSlots];
    // The byte holding the next bit, and how many of its bits are still to
    // be read (1..8; 8 after a reset).
    const uint8_t* window;
    int32_t bitCount;
    // The first sample of the last row the integrated decoder wrote.
    uint32_t previousFirst;
};

// One block of the MCUs of a sequential frame: its tables and where its
// samples go (DecodeMcusByKernel).
struct KernelMcuBlock {
    const jpegkernels::HuffmanDecoderTable* dc;
    const jpegkernels::HuffmanDecoderTable* ac;
    const int16_t* dequant;
    uint8_t* corner;    // the block's patch in the first MCU of a row
    size_t mcuStep;     // bytes from the patch of one MCU to the next
    ptrdiff_t stride;   // of the component's plane
    int component;
};

// Per-decoder record of the kernel path.
struct KernelPathState {
    jpegkernels::HuffmanDecoderState* bitState;
    int16_t* dequantTables;  // 64 entries (the low 16 bits) per quantisation table
    jpegkernels::HuffmanDecoderTable** dcTables;
    jpegkernels::HuffmanDecoderTable** acTables;
    uint32_t dcTableCount, acTableCount;  // entries of the two arrays
    uint8_t* inputStart;
    uint8_t* inputPosition;
    uint32_t consumed;   // since the buffer was last filled
    int32_t remaining;   // from the position to the end of the filled bytes
    uint32_t filled;     // valid bytes from the start
    uint32_t capacity;   // bytes asked for when the buffer is filled
    LosslessLookaheadTables* lookahead;
    uint32_t lookaheadDecoding;
    uint32_t integratedPredictor;
    int32_t* restartFlag;
    // Below this many bytes the buffer is topped up before a block or row.
    uint32_t refillBelow;
    // Zero bytes kept after the filled ones (what the look-ahead decoders
    // may read past the data).
    uint32_t tail;
    // The source gave less than asked: nothing more is read.
    uint32_t sourceEnded;
    // The companions of row 13 for the chosen column.
    jpegkernels::DequantInverseDctTo32Function dequantIdct;
    jpegkernels::DequantInverseDctToPatchFunction dequantIdctToPatch;
    // The blocks of an MCU in decoding order; set up at the first MCU.
    KernelMcuBlock* mcuBlocks;
    uint32_t mcuBlockCount;
};

inline KernelPathState* KernelState(const JpegDecoderContext* ctx) {
    return static_cast<KernelPathState*>(ctx->kernelState);
}

// ---- kernel path (jpeg_kernelpath.cpp) ----
JpegStatus BuildHuffmanTablesByKernel(JpegDecoderContext* ctx, const uint8_t* bits, const uint8_t* huffval,
                                      jpegkernels::HuffmanDecoderTable** where);
JpegStatus StartScanSequentialByKernel(JpegDecoderContext* ctx);
JpegStatus DecodeScanSequentialByKernel(JpegDecoderContext* ctx, BlockRecord* block, int k);
JpegStatus KernelReadByte(JpegDecoderContext* ctx, uint8_t* byte);
JpegStatus ReadScanEndMarkerByKernel(JpegDecoderContext* ctx);
JpegStatus NextMarkerByKernel(JpegDecoderContext* ctx);
int32_t DataBytesHeldByKernel(JpegDecoderContext* ctx);
JpegStatus ResyncToRestartByKernel(JpegDecoderContext* ctx, int n);
JpegStatus ReadNumberOfLinesByKernel(JpegDecoderContext* ctx);
void FreeBlock(JpegDecoderContext* ctx, void* block);
// Tops the input up: the bytes left move to the start and the source fills
// the rest of the capacity. Nothing is read once the source has ended.
void RefillKernelInput(JpegDecoderContext* ctx);
// Before a block or row: tops the input up while fewer than refillBelow
// bytes remain and the source has more.
inline void KeepKernelInput(JpegDecoderContext* ctx, KernelPathState* s) {
    if (s->remaining < static_cast<int32_t>(s->refillBelow) && !s->sourceEnded) RefillKernelInput(ctx);
}
// Row 18 or 20 met the end of the filled bytes: the block or row is tried
// again after a refill while the source has more and the buffer has room
// (what was decoded is given back first).
inline bool CanRetryAfterRefill(const KernelPathState* s) {
    return !s->sourceEnded && s->remaining >= 0 && static_cast<uint32_t>(s->remaining) < s->capacity;
}
// Runs row 18 or 20 through row(), which sets its inputs up afresh on every
// call; when the row meets the end of the filled bytes and a retry can
// help, the bit state goes back to what it was and the row runs again on a
// refilled buffer.
template <class Row>
inline KernelStatus RunWithRefill(JpegDecoderContext* ctx, KernelPathState* s, Row&& row) {
    const jpegkernels::HuffmanDecoderState bitsBefore = *s->bitState;
    for (;;) {
        const KernelStatus r = row();
        if (r != jpegkernels::kKernelDataEnded || !CanRetryAfterRefill(s)) return r;
        *s->bitState = bitsBefore;
        RefillKernelInput(ctx);
    }
}
// The input position moved by n bytes (negative: backwards).
inline void AdvanceKernelInput(KernelPathState* s, int64_t n) {
    s->inputPosition += n;
    s->consumed = static_cast<uint32_t>(s->inputPosition - s->inputStart);
    s->remaining = static_cast<int32_t>(int64_t{s->filled} - s->consumed);
}

// A kernel row moved the consumed count itself: the position and the
// remaining count follow it.
inline void FollowConsumedInput(KernelPathState* s) {
    s->inputPosition = s->inputStart + s->consumed;
    s->remaining = static_cast<int32_t>(int64_t{s->filled} - s->consumed);
}

// ---- lossless decoding (jpeg_lossless.cpp) ----
JpegStatus StartScanLosslessByKernel(JpegDecoderContext* ctx);
JpegStatus DecodeLosslessScanSingle(JpegDecoderContext* ctx, LosslessRowRecord* record, int component);
JpegStatus DecodeLosslessScanSingleUnit(JpegDecoderContext* ctx, LosslessRowRecord* record, int component);
JpegStatus DecodeLosslessScanMulti(JpegDecoderContext* ctx, LosslessRowRecord* record, int components);
int32_t LosslessDiffDecode(int32_t count, uint32_t table, LosslessLookaheadTables* block, const uint8_t** data,
                           uint16_t* output);
int32_t LosslessRowDecoder(int32_t count, uint32_t table, LosslessLookaheadTables* block, const uint8_t** data,
                           uint16_t* output, int32_t* firstRowFlag, uint32_t precision, uint32_t pointTransform);
JpegStatus InitLosslessLookahead(JpegDecoderContext* ctx);
int32_t BuildLosslessLookaheadTables(uint32_t tableCount, const uint32_t* symbolCounts,
                                     const uint8_t* const* huffvals, const uint8_t* const* bits,
                                     LosslessLookaheadTables* block);
uint64_t LosslessLookaheadSize(uint32_t tableCount, const uint32_t* symbolCounts);
int32_t ResetLosslessLookahead(LosslessLookaheadTables* block);
const uint8_t** LookaheadPosition(LosslessLookaheadTables* block);
void FreeLosslessLookahead(JpegDecoderContext* ctx);
// The lossless set-up of the kernel path's entropy set-up (one component).
JpegStatus SetUpLosslessLookahead(JpegDecoderContext* ctx);
// The look-ahead decoders hold no bits: the input moves past the byte the
// last row ended in, and 0 bytes are held.
int32_t DataBytesHeldByLookahead(JpegDecoderContext* ctx);

}  // namespace jpegdec
