#pragma once
// The decoder's per-stream record and the routines its modules share. Only
// the decoder's own sources include this header.
#include <cstddef>
#include <cstdint>

#include "jpegdec/jpeg_decoder.h"

namespace jpegdec {

inline constexpr int kMaxComponents = 4;
inline constexpr uint32_t kMaxAppSegments = 128;
inline constexpr uint32_t kInputBufferBytes = 8192;
// The comment text kept of all COM segments, its terminating zero included.
inline constexpr uint32_t kMaxCommentBytes = 64 * 1024;

// A kernel row's result (0 success).
using KernelStatus32 = int32_t;

// One generated Huffman code, indexed by symbol value; length 0 = not used.
struct HuffmanCode {
    uint32_t length;
    uint32_t code;
};

// A Huffman table as read from DHT, with what decoding derives from it.
struct HuffmanTableRecord {
    HuffmanCode* codes;  // capacity entries
    uint8_t* bits;       // the 16 BITS counts; null: the table is not defined
    uint8_t* huffval;    // symbolCount symbols
    uint32_t symbolCount;
    uint32_t firstIndex[17];  // [l]: codes shorter than l (l = 1..16)
    uint32_t mincode[17];
    int32_t maxcode[18];  // [17] is a sentinel that always matches
    uint32_t capacity;    // 17 for DC, 256 for AC
    // Built at scan start: indexed by the next 8 bits, (length << 8) | symbol;
    // length 9 = a longer code begins with these bits, or none does (the
    // long-code search then matches nothing: corrupt data).
    uint16_t* lookup;
    // AC tables: indexed by the next 9 bits, the code and its value bits
    // together when both fit: (value << 16) | (run << 8) | bits taken;
    // 0 where they do not (end of band, long codes, long values).
    int32_t* fastAc;
};

struct QuantTableRecord {
    uint32_t values[64];  // natural order
    void* derived;
};

// Dequantisation multipliers of one component, natural order.
struct MultiplierRecord {
    int32_t values[64];
    int32_t form;  // 1 prescaled for the full-size transform, 0 plain
};

// Coefficients of one 8 x 8 block of a sequential frame.
struct BlockRecord {
    int32_t* values;  // 64, natural order
    uint32_t end;     // zig-zag position after the last decoded coefficient
    uint32_t reserved;
};

// The first words of a component output record: a plane of 8-bit samples.
struct PlaneRecord {
    uint32_t width;
    uint32_t rows;
    uint32_t stride;
    uint8_t* data;
};

// Component output record: one per component.
struct ComponentRows {
    PlaneRecord plane;  // padded width, rows per MCU row, stride, buffer start
    uint8_t* current;   // where the next output row is read
    uint32_t mcuWidth;
    uint32_t size;    // bytes of one buffer
    uint8_t* second;  // lossless frames: the second and third rows
    uint8_t* third;
};

struct JpegDecoderContext;

using RowDriverFn = JpegStatus (*)(JpegDecoderContext*);
using WriteRowFn = void (*)(JpegDecoderContext*, uint8_t*);
using ScanStartFn = JpegStatus (*)(JpegDecoderContext*);
using McuDecoderFn = JpegStatus (*)(JpegDecoderContext*, BlockRecord*, int);
// Decodes `count` consecutive blocks of one component (64 coefficients each).
using ProgressiveDecoderFn = JpegStatus (*)(JpegDecoderContext*, int16_t* blocks, uint32_t count, int);
using MarkerReaderFn = JpegStatus (*)(JpegDecoderContext*);
// After the last unit of a scan or restart interval: the whole bytes of data
// the bit reader holds past the byte it is in (none of their bits taken),
// with the input left after them; negative when the unit took bits past the
// data.
using HeldBytesFn = int32_t (*)(JpegDecoderContext*);
using ResyncFn = JpegStatus (*)(JpegDecoderContext*, int);
using IdctFn = void (*)(JpegDecoderContext*, BlockRecord*, int);
using UpsampleFn = void (*)(PlaneRecord* source, PlaneRecord* destination, uint32_t hFactor,
                            uint32_t vFactor, uint32_t outWidth, uint32_t outRows);
using BlockWriterFn = void (*)(PlaneRecord* regions, JpegDecoderContext*, BlockRecord* first);
// Stores 64 transformed values (natural order) level-shifted and clamped as
// an 8 x 8 patch whose rows lie `stride` bytes apart.
using BlockStoreFn = void (*)(const int32_t* values, uint8_t* out, ptrdiff_t stride);

// One row of a lossless frame as the row drivers hand it to the scan
// decoders: the width and, per component, the row of 16-bit values to
// write (differences, or samples when the decoder reconstructs).
struct LosslessRowRecord {
    uint32_t width;
    uint32_t componentCount;
    uint16_t* rows[kMaxComponents];
};
using LosslessDecoderFn = JpegStatus (*)(JpegDecoderContext*, LosslessRowRecord*, int);
// Rebuilds samples from the difference rows of `components` components;
// the first-row flag chooses the initial prediction and is cleared.
using ScanFinishFn = JpegStatus (*)(JpegDecoderContext*, uint16_t* const* differences,
                                    uint16_t* const* previous, uint16_t* const* outputs,
                                    uint32_t components, const uint32_t* counts, int32_t* firstRowFlag);

// The encoder direction: one MCU of interleaved 8-bit samples (the MCU's
// first sample, bytes from one sample row to the next) and, per component,
// where its 16-bit blocks go (64 values each, in the MCU's block order).
struct EncoderMcu {
    const uint8_t* samples;
    int32_t rowStep;
    int16_t* blocks[kMaxComponents];
};
using EncoderMcuConverterFn = JpegStatus (*)(JpegDecoderContext*, const EncoderMcu*);

// Frames coded with one component per scan: the stream copied into memory
// and one sub-decoder per component.
struct NonInterleavedRecord {
    uint8_t* data;
    uint32_t size;
    uint32_t* ids;                     // scan component ids, in scan order
    JpegDecoderContext** children;     // one per component
    uint32_t idCount;
    void (*destroy)(JpegDecoderContext*);
};

struct MemorySourceRecord {
    const uint8_t* base;
    uint32_t position;
    uint32_t size;
    JpegAllocatorRecord allocator;
    void* user;
};

struct JpegDecoderContext {
    // Identity and output format.
    uint32_t outColorSpace;
    uint32_t headerOutColorSpace;  // as ReadHeader settled it
    uint32_t imageColorSpace;
    uint32_t sampleBits;
    uint32_t outChannels;
    uint32_t componentCount;
    uint32_t precision;
    uint16_t width, height;
    uint32_t xDensity, yDensity;

    // Requests.
    uint64_t memoryLimit;  // largest coefficient store of a progressive frame
    uint32_t requestedColorSpace;
    uint32_t inputLength;
    uint32_t luminanceOnly;
    uint32_t scaleDenom;
    uint32_t rowsWanted;
    int32_t selectedComponent;

    // Progress.
    uint32_t state;
    uint32_t rowsLeft;
    uint16_t bufferedRows;
    uint32_t headerStarted;
    int32_t headerStart;
    // Bytes the source may still give; negative: no limit.
    int64_t bytesLeft;
    uint32_t frameMarker;

    // Installed routines.
    RowDriverFn rowDriver;
    WriteRowFn writeRow;
    ScanStartFn scanStart;
    McuDecoderFn mcuDecoder;
    ProgressiveDecoderFn progressiveDecoder;
    MarkerReaderFn scanEndMarkerReader;
    MarkerReaderFn markerSearch;  // the next marker, past the bytes before it
    HeldBytesFn dataBytesHeld;
    ResyncFn restartResync;
    IdctFn idct[kMaxComponents];
    UpsampleFn upsampler[kMaxComponents];
    BlockWriterFn blockWriter;

    // Callbacks.
    JpegAllocatorRecord allocator;
    void* allocUser;
    JpegSourceRecord source;

    // Frame.
    uint32_t componentIds[kMaxComponents];
    uint8_t rawSamplingH[kMaxComponents], rawSamplingV[kMaxComponents];
    uint8_t hRatio[kMaxComponents], vRatio[kMaxComponents];
    uint32_t quantSelector[kMaxComponents];
    uint8_t frameHeader[20];

    // Scan.
    uint32_t dcTableSelector[kMaxComponents], acTableSelector[kMaxComponents];
    uint32_t componentInScan[kMaxComponents];
    uint32_t scanComponentCount;
    uint8_t scanHeader[14];
    uint32_t scanSs, scanSe, scanAhAl;

    // Tables and segments.
    uint32_t dcTableCount, acTableCount;
    HuffmanTableRecord* dcTables;
    HuffmanTableRecord* acTables;
    uint32_t tableSymbolCount[16];
    uint32_t tablesChanged;
    uint32_t haveTables;  // Huffman tables shared from a tables context
    uint32_t quantTableCount;
    QuantTableRecord* quantTables;
    uint32_t quantTables16Bit;  // bit Tq: that table is 16-bit (refused)
    uint32_t haveQuantTables;  // quantisation tables shared from a tables context
    uint32_t restartInterval, restartCounter;
    uint32_t appSegmentCount;
    JpegAppSegment appSegments[kMaxAppSegments];
    char* commentData;
    uint32_t commentLength;    // bytes of the text before its zero
    uint32_t commentCapacity;  // bytes allocated
    uint32_t commentsFull;     // a segment did not fit: the later ones are passed over
    uint8_t lastMarker;
    uint8_t scanEndMarker;
    uint32_t pendingMarker;
    // Bytes of data the last marker search passed over before the marker
    // (or the end of the input): 0xFF fill is none, a stuffed 0xFF 0x00 one.
    uint32_t bytesBeforeMarker;
    NonInterleavedRecord* nonInterleaved;

    // Buffered input.
    uint8_t* inputBuffer;
    uint32_t inputFill, inputPos;
    int32_t inputStatus;
    uint32_t inputEnded;  // the source gave nothing more
    // The input ended in the pad byte of a DICOM fragment (EndsInPadByte),
    // which was taken as no data.
    uint32_t inputPadByte;

    // Entropy decoding: bits enter at the low end of bitBuffer.
    uint64_t bitBuffer;
    int32_t bitCount;
    int32_t zeroBits;  // zero bits padded into bitBuffer and not yet taken
    // Below this many bits a fill point reads more input; raised once the
    // data of the scan or interval ended.
    int32_t fillThreshold;
    int32_t entropyState;
    int32_t dcPredictors[kMaxComponents];
    uint32_t eobRun;
    uint32_t lookaheadBits;
    const uint8_t* naturalOrder;
    // Set while a restart interval is being passed over after damage.
    uint32_t intervalDamaged;
    uint32_t damage;  // kinds met (kJpegDamage*)

    // Dequantisation, transforms and sampling.
    MultiplierRecord* quantMultipliers;  // one per component
    uint32_t blockSize[kMaxComponents];
    uint8_t scaledHFactor[kMaxComponents], scaledVFactor[kMaxComponents];
    uint32_t upsampleWidth[kMaxComponents], upsampleHeight[kMaxComponents];
    const int32_t* rangeLimit;

    // MCU geometry.
    uint32_t mcuBlocksH[kMaxComponents], mcuBlocksV[kMaxComponents];
    uint32_t mcuWidth[kMaxComponents], mcuHeight[kMaxComponents];
    uint32_t mcuCompBlocks[kMaxComponents];
    uint32_t blocksPerMcu;
    uint32_t mcusPerRow, mcuRows;
    uint32_t mcuColumn;  // MCUs since the last restart
    uint32_t mcuRow;     // MCU rows decoded
    uint32_t carriedSkip;  // MCUs still to be passed over (resynchronisation)
    BlockRecord* blockRecords;
    int32_t* blockValues;
    uint32_t blockRecordCount;
    // Progressive frames: the coefficients of every block (blockRecordCount
    // of them), 64 each in zig-zag order, one area per component holding its
    // block rows over whole MCUs; allocated when the scans are decoded.
    int16_t* coefficientStore;
    // Per MCU row: a scan decoded blocks of it. Rows no scan reached are
    // mid-grey without reading (or faulting in) their part of the store.
    uint8_t* mcuRowReached;
    uint64_t storeOffset[kMaxComponents];  // in blocks
    uint32_t storeBlocksWide[kMaxComponents];
    int64_t blockCursor;  // -1 until the scans were decoded

    // Output.
    ComponentRows* componentRows;

    // The kernel-backed path (frames decoded whole) and its state.
    uint32_t kernelPath;
    void* kernelState;
    BlockStoreFn blockStore;  // null: StoreBlock8x8

    // Lossless frames.
    uint32_t losslessSingleUnit;  // the scan decoder also reconstructs
    LosslessDecoderFn losslessDecoder;
    ScanFinishFn scanFinish;
    uint8_t* losslessOutput;  // the caller's row of the current ReadRows
    uint32_t losslessRowLost;  // the row was passed over (damage): mid-grey
    uint16_t lostSample;       // the samples of such rows above 8 bits

    // The encoder direction.
    EncoderMcuConverterFn encoderMcuConverter;
    uint32_t encoderConvertsRgb;  // three-component input converted to YCbCr
    uint16_t* encoderQuantTables;  // 64 reciprocals (natural order) per table
    uint32_t encoderQuantTableCount;
    const uint16_t* encoderQuantTable[kMaxComponents];

    // Test hooks: decode on the generic path only; kernel-path input
    // buffers of one worst-case block or row.
    uint32_t testGenericOnly;
    uint32_t testSmallestBuffers;
};

// Integer arithmetic that wraps in 32 bits as two's complement.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// True when one of the eight bytes of w is 0xFF.
inline bool HasByteFF(uint64_t w) {
    const uint64_t inverse = ~w;
    return ((inverse - 0x0101010101010101ull) & w & 0x8080808080808080ull) != 0;
}

// ---- shared helpers (jpeg_control.cpp) ----
void* AllocBytes(JpegDecoderContext* ctx, uint64_t n);
void* AllocZeroed(JpegDecoderContext* ctx, uint64_t count, uint64_t size);
// n zero bytes, through the allocator's zeroed allocation when it has one
// (pages zeroed by the system when first touched): nothing is written here.
void* AllocZeroedUntouched(JpegDecoderContext* ctx, uint64_t n);
void FreeMemory(JpegDecoderContext* ctx, void* memory);
int32_t SourceReadByte(JpegDecoderContext* ctx);
int32_t SourceRead(JpegDecoderContext* ctx, void* buffer, int32_t n);
// Reads n bytes unless the source ends first; the count read.
int32_t SourceReadAll(JpegDecoderContext* ctx, uint8_t* buffer, int32_t n);
int32_t SourceTell(JpegDecoderContext* ctx);
// Once the input has ended: true when `last`, its last byte, after
// `before` (-1: a byte other than 0xFF) is the one zero byte that pads a
// DICOM fragment to an even length: not after 0xFF (whose data byte it
// would be), in a stream of an even count of bytes from its start. Its bits
// are no data, so that a unit that needs them was cut short; the decoder
// notes it was met.
bool EndsInPadByte(JpegDecoderContext* ctx, int32_t last, int32_t before);
int32_t SourceSeek(JpegDecoderContext* ctx, int32_t position);
uint32_t LargestComponentValue(const JpegDecoderContext* ctx, const uint8_t* values);
uint32_t MaxOverComponents(const JpegDecoderContext* ctx, const uint32_t* values);
bool IsDctFrame(const JpegDecoderContext* ctx);
JpegStatus CheckFrameSupported(JpegDecoderContext* ctx);

// ---- marker reader (jpeg_markers.cpp) ----
JpegStatus ReadMarkers(JpegDecoderContext* ctx);
JpegStatus ReadMarkerHere(JpegDecoderContext* ctx);
JpegStatus SearchNextMarker(JpegDecoderContext* ctx);
JpegStatus ReadFrameHeader(JpegDecoderContext* ctx);
JpegStatus ReadHuffmanTables(JpegDecoderContext* ctx);
// A DQT segment: its 8-bit tables are kept when `keep` is set. A 16-bit
// table is noted (bit Tq of quantTables16Bit, until an 8-bit table of that
// Tq comes) and the rest of its segment passed over.
JpegStatus ReadQuantTables(JpegDecoderContext* ctx, bool keep);
JpegStatus ReadRestartInterval(JpegDecoderContext* ctx);
JpegStatus ReadNumberOfLines(JpegDecoderContext* ctx);
JpegStatus ReadScanHeader(JpegDecoderContext* ctx);
JpegStatus ReadComment(JpegDecoderContext* ctx);
JpegStatus SkipSegment(JpegDecoderContext* ctx);
JpegStatus ReadAppSegment(JpegDecoderContext* ctx, uint32_t marker);
JpegStatus ReadNextScanHeader(JpegDecoderContext* ctx);
JpegStatus ReadScanEndMarker(JpegDecoderContext* ctx);
JpegStatus ResyncToRestart(JpegDecoderContext* ctx, int n);
// Moves past the stream's last scan: the position after EOI, or the end of
// the input. -50 for a scan of more than one component.
JpegStatus SkipToEndOfImage(JpegDecoderContext* ctx);
// The marker the entropy decoder met, taken as the one read last.
inline JpegStatus TakePendingMarker(JpegDecoderContext* ctx) {
    ctx->lastMarker = static_cast<uint8_t>(ctx->pendingMarker & 0xFF);
    ctx->pendingMarker = 0;
    return ctx->lastMarker;
}
// The marker that must come next (a pending one first), past fill bytes;
// notMarker when other bytes stand there, -11 when the input ends first.
// readByte(ctx) gives the next byte, or a negative number at the end.
template <class ReadByte>
JpegStatus ReadMarkerWith(JpegDecoderContext* ctx, ReadByte&& readByte, JpegStatus notMarker) {
    if (ctx->pendingMarker) return TakePendingMarker(ctx);
    int32_t b = readByte(ctx);
    if (b < 0) return kJpegReadError;
    if (b != 0xFF) return notMarker;
    do {
        b = readByte(ctx);
    } while (b == 0xFF);
    if (b < 0) return kJpegReadError;
    if (b == 0) return notMarker;
    ctx->lastMarker = static_cast<uint8_t>(b);
    return b;
}
// The next marker (a pending one first), passing over the bytes before it
// and stuffed zeros; -11 when the input ends first.
template <class ReadByte>
JpegStatus SearchMarkerWith(JpegDecoderContext* ctx, ReadByte&& readByte) {
    ctx->bytesBeforeMarker = 0;
    for (;;) {
        // 0 (no marker has that code): no marker begins at this byte, which
        // is a byte of data (stuffed or not).
        const JpegStatus m = ReadMarkerWith(ctx, readByte, 0);
        if (m != 0) return m;
        ++ctx->bytesBeforeMarker;
    }
}
int32_t FetchByte(JpegDecoderContext* ctx);
int32_t FetchBytes(JpegDecoderContext* ctx, uint8_t* buffer, int32_t n);
int32_t SeekInput(JpegDecoderContext* ctx, int mode, int32_t offset);
JpegStatus FindComponentIndex(const JpegDecoderContext* ctx, uint32_t id);
JpegStatus GrowHuffmanTables(JpegDecoderContext* ctx, uint32_t n, uint32_t tableClass);
JpegStatus GrowQuantTables(JpegDecoderContext* ctx, uint32_t n);
JpegStatus CreateNonInterleavedModule(JpegDecoderContext* ctx);
void DestroyNonInterleavedModule(JpegDecoderContext* ctx);
void FreeHuffmanTableRecords(JpegDecoderContext* ctx);
// Makes private copies of Huffman tables shared from another context.
JpegStatus DetachHuffmanTables(JpegDecoderContext* ctx);
void FreeAppSegments(JpegDecoderContext* ctx);
// Zig-zag position to natural (row-major) index; the 16 entries past the end
// keep a stray position inside the block.
inline constexpr uint8_t kZigzagToNatural[64 + 16] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33,
    40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36,
    29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54,
    47, 55, 62, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};
// Natural index to zig-zag position.
struct NaturalToZigzagTable {
    uint8_t at[64];
};
constexpr NaturalToZigzagTable MakeNaturalToZigzag() {
    NaturalToZigzagTable t{};
    for (int k = 0; k < 64; ++k) t.at[kZigzagToNatural[k]] = static_cast<uint8_t>(k);
    return t;
}
inline constexpr NaturalToZigzagTable kNaturalToZigzag = MakeNaturalToZigzag();

// ---- entropy decoding (jpeg_huffman.cpp) ----
JpegStatus InitEntropyDecoder(JpegDecoderContext* ctx, uint32_t lookaheadBits);
JpegStatus StartScan(JpegDecoderContext* ctx);
JpegStatus BuildLookupTables(JpegDecoderContext* ctx, uint32_t bits);
JpegStatus BuildLookupTable(JpegDecoderContext* ctx, HuffmanTableRecord* table, uint32_t bits);
JpegStatus CheckScanTables(JpegDecoderContext* ctx);
JpegStatus DecodeMcuSequential(JpegDecoderContext* ctx, BlockRecord* block, int c);
JpegStatus DecodeDcFirst(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c);
JpegStatus DecodeDcRefine(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c);
JpegStatus DecodeAcFirst(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c);
JpegStatus DecodeAcRefine(JpegDecoderContext* ctx, int16_t* blocks, uint32_t count, int c);
BlockRecord* AllocBlockRecords(JpegDecoderContext* ctx, uint32_t count);
void FreeBlockRecords(JpegDecoderContext* ctx);
void ReleaseBlockRecords(JpegDecoderContext* ctx);
void DropPartialByte(JpegDecoderContext* ctx);
// The generic path's HeldBytesFn.
int32_t DataBytesHeld(JpegDecoderContext* ctx);
// The kept coefficients (zig-zag order) of block (bx, by) of component c of
// a progressive frame.
inline int16_t* ProgressiveBlock(const JpegDecoderContext* ctx, uint32_t c, uint32_t bx, uint32_t by) {
    return ctx->coefficientStore + (ctx->storeOffset[c] + uint64_t{by} * ctx->storeBlocksWide[c] + bx) * 64;
}

// ---- transforms and block writers (jpeg_idct.cpp) ----
JpegStatus InitQuantTables(JpegDecoderContext* ctx, uint32_t mode, uint32_t quality);
JpegStatus InitMcuGeometry(JpegDecoderContext* ctx, uint32_t direction);
void SelectBlockWriter(JpegDecoderContext* ctx);
JpegStatus PrepareRangeLimit(JpegDecoderContext* ctx);
JpegStatus BuildRangeLimitTable(const JpegAllocatorRecord* allocator, void* user);
void FreeRangeLimitTable(const JpegAllocatorRecord* allocator, void* user);
void IdctFast(JpegDecoderContext* ctx, BlockRecord* block, int c);
void IdctReduced4x4(JpegDecoderContext* ctx, BlockRecord* block, int c);
void IdctReduced2x2(JpegDecoderContext* ctx, BlockRecord* block, int c);
void IdctDcOnly(JpegDecoderContext* ctx, BlockRecord* block, int c);
// The full-size transform of raw progressive coefficients (zig-zag order),
// dequantised with the component's multipliers, level-shifted, clamped and
// stored as an 8 x 8 patch of bytes.
void IdctFastProgressive(JpegDecoderContext* ctx, const int16_t* coefficients, int c,
                         uint8_t* out, uint32_t stride);
void WriteBlocksClamped(PlaneRecord* regions, JpegDecoderContext* ctx, BlockRecord* first);
void WriteBlocksLumaOnly(PlaneRecord* regions, JpegDecoderContext* ctx, BlockRecord* first);
void WriteBlockSingle(PlaneRecord* regions, JpegDecoderContext* ctx, BlockRecord* first);
// x + 128 clamped to 0..255.
inline uint8_t ClampSample(int32_t x) {
    const int32_t v = x < -128 ? 0 : (x > 127 ? 255 : x + 128);
    return static_cast<uint8_t>(v);
}
// Stores 64 transformed values (natural order) level-shifted and clamped.
void StoreBlock8x8(const int32_t* values, uint8_t* out, uint32_t stride);
// The portable forms of the full-size transform and store, which the SSE2
// forms match bit for bit.
void IdctFastScalar(int32_t* values);
void IdctFastProgressiveScalar(const int16_t* coefficients, const int32_t* multipliers,
                               uint8_t* out, uint32_t stride);
void StoreBlock8x8Scalar(const int32_t* values, uint8_t* out, uint32_t stride);
void ReleaseQuantTables(JpegDecoderContext* ctx);
extern const int32_t kAanScaleTable[64];

// ---- sampling (jpeg_sampling.cpp) ----
JpegStatus SetupSamplingAndIdct(JpegDecoderContext* ctx);
void InstallUpsamplers(JpegDecoderContext* ctx, uint32_t direction);
bool SamplingIs444(const JpegDecoderContext* ctx);
bool SamplingIs422(const JpegDecoderContext* ctx);
bool SamplingIs420(const JpegDecoderContext* ctx);
bool SamplingIs411(const JpegDecoderContext* ctx);
void UpsampleReplicateH(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                        uint32_t rows);
void UpsampleReplicateV(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                        uint32_t rows);
void UpsampleReplicateHV(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                         uint32_t rows);
void DownsampleAverageV(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                        uint32_t rows);
void DownsampleVReplicateH(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                           uint32_t rows);
void ReleaseEntropyState(JpegDecoderContext* ctx);

// ---- output rows (jpeg_output.cpp) ----
JpegStatus InitComponentBuffers(JpegDecoderContext* ctx, uint32_t direction);
JpegStatus InitColorConverter(JpegDecoderContext* ctx, uint32_t direction);
void RewindComponentRows(JpegDecoderContext* ctx);
void ResetComponentRows(JpegDecoderContext* ctx);
void ReleaseComponentBuffers(JpegDecoderContext* ctx);
void InterleaveRow3(JpegDecoderContext* ctx, uint8_t* out);
void InterleaveRow4(JpegDecoderContext* ctx, uint8_t* out);
void InterleaveRow3YccToRgb(JpegDecoderContext* ctx, uint8_t* out);
// Three components whose chroma planes keep their decoded size (half the
// width, height or both of component 0's): each chroma sample is repeated
// for the pixels it covers. Installed instead of InterleaveRow3 for such
// frames at full size, which then have no upsampler for components 1 and 2.
void InterleaveRow3Replicated(JpegDecoderContext* ctx, uint8_t* out);
void CopyLumaRow(JpegDecoderContext* ctx, uint8_t* out);
void CopyGrayRow(JpegDecoderContext* ctx, uint8_t* out);
void CopySelectedRow(JpegDecoderContext* ctx, uint8_t* out);
void ShiftGrayLossless8(JpegDecoderContext* ctx, uint8_t* out);
void ShiftGrayLossless16(JpegDecoderContext* ctx, uint8_t* out);
void InterleaveLossless3x8(JpegDecoderContext* ctx, uint8_t* out);
void InterleaveLossless3x16(JpegDecoderContext* ctx, uint8_t* out);
void InterleaveLosslessN(JpegDecoderContext* ctx, uint8_t* out);
void CopySelectedLosslessRow(JpegDecoderContext* ctx, uint8_t* out);

// ---- row drivers (jpeg_rowdrivers.cpp) ----
JpegStatus RowDriverSequential(JpegDecoderContext* ctx);
JpegStatus RowDriverSequentialLuma(JpegDecoderContext* ctx);
JpegStatus RowDriverYccToRgb444(JpegDecoderContext* ctx);
JpegStatus RowDriverYccToRgb422(JpegDecoderContext* ctx);
JpegStatus RowDriverYccToRgb420(JpegDecoderContext* ctx);
JpegStatus RowDriverProgressive(JpegDecoderContext* ctx);
JpegStatus RowDriverProgressiveLuma(JpegDecoderContext* ctx);
JpegStatus RowDriverLossless(JpegDecoderContext* ctx);
JpegStatus RowDriverLossless16Gray(JpegDecoderContext* ctx);
JpegStatus RowDriverLosslessScans(JpegDecoderContext* ctx);
JpegStatus RowDriverLosslessSingleUnit(JpegDecoderContext* ctx);

// ---- kernel-backed path (jpeg_kernelpath.cpp) ----
JpegStatus InitKernelPath(JpegDecoderContext* ctx);
JpegStatus InitEntropyDecoderByKernel(JpegDecoderContext* ctx);
JpegStatus BuildDequantTables16(JpegDecoderContext* ctx);
void DequantIdctByKernel(JpegDecoderContext* ctx, BlockRecord* block, int c);
// The MCUs *mcu .. end - 1 of the current MCU row of a sequential frame
// (every component): each block decoded by row 18 and transformed by row
// 13's companion straight into the component planes, level-shifted and
// clamped. 1 with *mcu = end, or the block decoder's failure with *mcu the
// MCU it failed in (whose plane regions then hold part of it).
JpegStatus DecodeMcusByKernel(JpegDecoderContext* ctx, uint32_t* mcu, uint32_t end);
void FreeKernelPathBuffers(JpegDecoderContext* ctx);
void FreeDequantTables16(JpegDecoderContext* ctx);
void FreeKernelPathState(JpegDecoderContext* ctx);

// ---- lossless reconstruction (jpeg_lossless.cpp) ----
JpegStatus InstallLosslessReconstruction(JpegDecoderContext* ctx);
JpegStatus ReconstructLosslessRows(JpegDecoderContext* ctx, uint16_t* const* differences,
                                   uint16_t* const* previous, uint16_t* const* outputs, uint32_t components,
                                   const uint32_t* counts, int32_t* firstRowFlag);

// ---- encoder direction (jpeg_encoder.cpp) ----
// Installs the MCU input converter by the frame's component count and
// sampling (nothing for counts other than 1 and 3).
void SelectEncoderMcuConverter(JpegDecoderContext* ctx);
using EncoderMcuRoutine = KernelStatus32 (*)(const uint8_t* source, int32_t rowStep, int16_t* const* planes);
JpegStatus EncoderConvertMcu(JpegDecoderContext* ctx, const EncoderMcu* mcu, EncoderMcuRoutine r444,
                             EncoderMcuRoutine r422, EncoderMcuRoutine r420);
JpegStatus EncoderConvertMcuYCbCr(JpegDecoderContext* ctx, const EncoderMcu* mcu);
JpegStatus EncoderConvertMcuLevelShift(JpegDecoderContext* ctx, const EncoderMcu* mcu);
JpegStatus EncoderLevelShiftMcu1(JpegDecoderContext* ctx, const EncoderMcu* mcu);
JpegStatus EncoderConvertMcu3(JpegDecoderContext* ctx, const EncoderMcu* mcu);
// Reciprocal tables of every quantisation table; table 0 serves the first
// component, table 1 (table 0 when there is no other) the others.
JpegStatus PrepareQuantTablesByKernel(JpegDecoderContext* ctx);
void FreeEncoderQuantTables(JpegDecoderContext* ctx);

}  // namespace jpegdec
