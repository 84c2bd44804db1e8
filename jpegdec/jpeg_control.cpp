// Library users, the decoder context, its input and memory callbacks, and
// the control flow from the header to the output rows.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "jpegdec/jpeg_context.h"
#include "jpegkernels/kernel_dispatch.h"
#include "platform/byte_count.h"

namespace jpegdec {

namespace {

std::atomic<uint32_t> g_libraryUsers{0};

void* DefaultAlloc(void*, size_t size) { return std::malloc(size != 0 ? size : 1); }
void DefaultFree(void*, void* memory) { std::free(memory); }
void* DefaultAllocZeroed(void*, size_t size) { return std::calloc(size != 0 ? size : 1, 1); }

JpegAllocatorRecord AllocatorOrDefault(const JpegAllocatorRecord* allocator) {
    if (allocator && allocator->allocate && allocator->free) return *allocator;
    return JpegAllocatorRecord{DefaultAlloc, DefaultFree, DefaultAllocZeroed};
}

// ---- memory source ----
int32_t MemorySourceReadByte(void* handle) {
    auto* m = static_cast<MemorySourceRecord*>(handle);
    return m->position < m->size ? m->base[m->position++] : -1;
}
int32_t MemorySourceRead(void* handle, void* buffer, int32_t n) {
    auto* m = static_cast<MemorySourceRecord*>(handle);
    const uint32_t left = m->size - m->position;
    if (left == 0 || n <= 0) return -1;
    const uint32_t k = static_cast<uint32_t>(n) < left ? static_cast<uint32_t>(n) : left;
    std::memcpy(buffer, m->base + m->position, k);
    m->position += k;
    return static_cast<int32_t>(k);
}
int32_t MemorySourceOffset(void* handle) {
    return static_cast<int32_t>(static_cast<MemorySourceRecord*>(handle)->position);
}
int32_t MemorySourceSeek(void* handle, int32_t position) {
    auto* m = static_cast<MemorySourceRecord*>(handle);
    const uint32_t p = position < 0 ? 0u : static_cast<uint32_t>(position);
    m->position = p < m->size ? p : m->size;
    return static_cast<int32_t>(m->position);
}

// ---- C file source ----
int32_t StdioSourceReadByte(void* handle) { return std::fgetc(static_cast<FILE*>(handle)); }
int32_t StdioSourceRead(void* handle, void* buffer, int32_t n) {
    if (n <= 0) return -1;
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(n), static_cast<FILE*>(handle)));
}
int32_t StdioSourceTell(void* handle) {
    return static_cast<int32_t>(std::ftell(static_cast<FILE*>(handle)));
}
int32_t StdioSourceSeek(void* handle, int32_t position) {
    return std::fseek(static_cast<FILE*>(handle), position, SEEK_SET) == 0 ? position : -1;
}

bool IsMemorySource(const JpegSourceRecord& s) { return s.readByte == MemorySourceReadByte; }
bool IsStdioSource(const JpegSourceRecord& s) { return s.readByte == StdioSourceReadByte; }

void CloseSource(JpegDecoderContext* ctx) {
    if (IsStdioSource(ctx->source) && ctx->source.handle) {
        std::fclose(static_cast<FILE*>(ctx->source.handle));
    } else if (IsMemorySource(ctx->source) && ctx->source.handle) {
        FreeMemorySource(&ctx->source);
    }
    ctx->source.handle = nullptr;
}

bool HasApp(const JpegDecoderContext* ctx, uint32_t marker, uint32_t minLength, const char* tag,
            size_t tagLength) {
    for (uint32_t i = 0; i < ctx->appSegmentCount; ++i) {
        const JpegAppSegment& s = ctx->appSegments[i];
        if (s.marker == marker && s.length >= minLength && s.data &&
            std::memcmp(s.data, tag, tagLength) == 0)
            return true;
    }
    return false;
}

// An Adobe APP14 segment says the three components are stored untransformed.
bool AdobeSaysUntransformed(const JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->appSegmentCount; ++i) {
        const JpegAppSegment& s = ctx->appSegments[i];
        if (s.marker == 0xEE && s.length >= 12 && s.data && std::memcmp(s.data, "Adobe", 5) == 0)
            return s.data[11] == 0;
    }
    return false;
}

void MergeTableContext(JpegDecoderContext* ctx, JpegDecoderContext* tables) {
    if (tables->quantTableCount > 0) {
        ctx->quantTableCount = tables->quantTableCount;
        ctx->quantTables = tables->quantTables;
        ctx->haveQuantTables = 1;
    }
    if (tables->dcTableCount > 0 || tables->acTableCount > 0) {
        ctx->dcTableCount = tables->dcTableCount;
        ctx->dcTables = tables->dcTables;
        ctx->acTableCount = tables->acTableCount;
        ctx->acTables = tables->acTables;
        ctx->haveTables = 1;
        ctx->tablesChanged = 1;
    }
}

JpegDecoderContext* CreateSubDecompressor(JpegDecoderContext* parent, int component) {
    JpegSourceRecord source;
    if (!CreateMemorySource(parent->nonInterleaved->data, parent->nonInterleaved->size,
                            &parent->allocator, parent->allocUser, &source))
        return nullptr;
    JpegStatus status = 0;
    JpegDecoderContext* sub = CreateDecompressor(&source, &parent->allocator, parent->allocUser, &status);
    if (!sub) {
        FreeMemorySource(&source);
        return nullptr;
    }
    sub->selectedComponent = component;
    sub->memoryLimit = parent->memoryLimit;
    sub->lostSample = parent->lostSample;
    sub->testGenericOnly = parent->testGenericOnly;
    sub->testSmallestBuffers = parent->testSmallestBuffers;
    return sub;
}

JpegStatus StartDecompressNonInterleaved(JpegDecoderContext* ctx) {
    // The stream from its start through the EOI after its last scan goes
    // into memory; every component is then decoded by a decoder of its own.
    JpegStatus st = SkipToEndOfImage(ctx);
    if (st < 1) return st;
    const int32_t end = SourceTell(ctx);
    if (end < ctx->headerStart) return kJpegReadError;
    NonInterleavedRecord* module = ctx->nonInterleaved;
    module->size = static_cast<uint32_t>(end - ctx->headerStart);
    if (SeekInput(ctx, 0, ctx->headerStart) < 0) return kJpegReadError;
    module->data = static_cast<uint8_t*>(AllocBytes(ctx, module->size));
    if (!module->data) return kJpegEndOrNoMemory;
    const auto size = static_cast<int32_t>(module->size);
    if (SourceReadAll(ctx, module->data, size) < size) return kJpegReadError;
    if ((st = InitMcuGeometry(ctx, 0)) < 1) return st;
    if ((st = InitColorConverter(ctx, 0)) < 1) return st;
    InstallUpsamplers(ctx, 0);
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        JpegDecoderContext* sub = CreateSubDecompressor(ctx, static_cast<int>(i));
        if (!sub) return kJpegEndOrNoMemory;
        module->children[i] = sub;
        st = ReadHeader(sub, ctx->requestedColorSpace, module->size, ctx);
        if (st == kJpegReadError) {
            // The input ends before the component's scan: the component has
            // no decoder and its rows are mid-grey.
            DestroyDecompressor(sub);
            module->children[i] = nullptr;
            ctx->damage |= kJpegDamageLost;
            continue;
        }
        if (st < 1) return st;
        if ((st = StartDecompress(sub)) < 1) return st;
    }
    return kJpegOk;
}

// A row whose data was lost, of `bytes` bytes, with `wordSamples` when its
// samples are 16-bit words: bytes of 128 in a DCT frame; in a lossless one
// the lost-sample value (128 in a frame of 8 bits or less until a value
// that fits its samples is set).
void FillLostRow(const JpegDecoderContext* ctx, uint8_t* row, size_t bytes, bool wordSamples) {
    uint16_t value = ctx->lostSample;
    if (IsDctFrame(ctx) || (ctx->sampleBits <= 8 && value > 0xFF)) value = 128;
    if (!wordSamples) {
        std::memset(row, value, bytes);
        return;
    }
    for (size_t i = 0; i + 1 < bytes; i += 2) std::memcpy(row + i, &value, 2);
}

JpegStatus ReadRowsNonInterleaved(JpegDecoderContext* ctx, uint8_t* row) {
    const uint32_t n = ctx->componentCount;
    JpegDecoderContext* const* children = ctx->nonInterleaved->children;
    JpegStatus status = kJpegOk;
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t* plane = ctx->componentRows[i].plane.data;
        if (!children[i]) {
            // A component whose scan the input ended before, as a row passed
            // over.
            FillLostRow(ctx, plane, size_t{ctx->width} * (IsDctFrame(ctx) ? 1 : 2), !IsDctFrame(ctx));
            status = kJpegWarnCorruptData;
            continue;
        }
        const JpegStatus st = ReadRows(children[i], plane);
        if (st < 1) return st;
        if (st > 1) status = st;
    }
    const uint32_t w = ctx->width;
    if (IsDctFrame(ctx)) {
        for (uint32_t x = 0; x < w; ++x)
            for (uint32_t i = 0; i < n; ++i) row[x * n + i] = ctx->componentRows[i].plane.data[x];
        return status;
    }
    // Lossless samples come as decoded: each component's point transform
    // (its own scan's) is undone here, but for rows lost.
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t shift = children[i] && !children[i]->losslessRowLost ? children[i]->scanAhAl & 15 : 0;
        for (uint32_t x = 0; x < w; ++x) {
            uint16_t v;
            std::memcpy(&v, ctx->componentRows[i].plane.data + 2 * size_t{x}, 2);
            v = static_cast<uint16_t>(v << shift);
            if (ctx->sampleBits > 8)
                std::memcpy(row + 2 * (size_t{x} * n + i), &v, 2);
            else
                row[size_t{x} * n + i] = static_cast<uint8_t>(v);
        }
    }
    return status;
}

// Every component's sampling factors divide the largest ones, so that its
// plane is brought to full size by whole repetitions.
bool SamplingFactorsDivide(const JpegDecoderContext* ctx) {
    const uint32_t maxH = LargestComponentValue(ctx, ctx->rawSamplingH);
    const uint32_t maxV = LargestComponentValue(ctx, ctx->rawSamplingV);
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        if (uint32_t{ctx->hRatio[i]} * ctx->rawSamplingH[i] != maxH ||
            uint32_t{ctx->vRatio[i]} * ctx->rawSamplingV[i] != maxV)
            return false;
    return true;
}

// Every component sampled 1 x 1.
bool OneSampleEach(const JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        if (ctx->rawSamplingH[i] != 1 || ctx->rawSamplingV[i] != 1) return false;
    return true;
}

bool FirstScanHoldsEveryComponent(const JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        if (!ctx->componentInScan[i]) return false;
    return true;
}

}  // namespace

// ---- shared helpers ----

void* AllocBytes(JpegDecoderContext* ctx, uint64_t n) {
    if (n > SIZE_MAX) return nullptr;
    return ctx->allocator.allocate(ctx->allocUser, static_cast<size_t>(n));
}

void* AllocZeroed(JpegDecoderContext* ctx, uint64_t count, uint64_t size) {
    const platform::ByteCount bytes = platform::ByteCount(count) * platform::ByteCount(size);
    if (!bytes.fits<size_t>()) return nullptr;
    void* p = AllocBytes(ctx, bytes.value());
    if (p) std::memset(p, 0, static_cast<size_t>(bytes.value()));
    return p;
}

void* AllocZeroedUntouched(JpegDecoderContext* ctx, uint64_t n) {
    if (!ctx->allocator.allocateZeroed) return AllocZeroed(ctx, n, 1);
    if (n > SIZE_MAX) return nullptr;
    return ctx->allocator.allocateZeroed(ctx->allocUser, static_cast<size_t>(n));
}

void FreeMemory(JpegDecoderContext* ctx, void* memory) {
    if (memory) ctx->allocator.free(ctx->allocUser, memory);
}

int32_t SourceReadByte(JpegDecoderContext* ctx) { return ctx->source.readByte(ctx->source.handle); }
int32_t SourceRead(JpegDecoderContext* ctx, void* buffer, int32_t n) {
    return ctx->source.read(ctx->source.handle, buffer, n);
}
int32_t SourceReadAll(JpegDecoderContext* ctx, uint8_t* buffer, int32_t n) {
    int32_t got = 0;
    while (got < n) {
        const int32_t k = SourceRead(ctx, buffer + got, n - got);
        if (k <= 0) break;
        got += k;
    }
    return got;
}
int32_t SourceTell(JpegDecoderContext* ctx) { return ctx->source.tell(ctx->source.handle); }
int32_t SourceSeek(JpegDecoderContext* ctx, int32_t position) {
    return ctx->source.seek(ctx->source.handle, position);
}

bool EndsInPadByte(JpegDecoderContext* ctx, int32_t last, int32_t before) {
    if (last != 0 || before == 0xFF) return false;
    const int32_t end = SourceTell(ctx);
    if (end < ctx->headerStart || ((end - ctx->headerStart) & 1) != 0) return false;
    ctx->inputPadByte = 1;
    return true;
}

uint32_t LargestComponentValue(const JpegDecoderContext* ctx, const uint8_t* values) {
    uint32_t m = 1;
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i)
        if (values[i] > m) m = values[i];
    return m;
}

uint32_t MaxOverComponents(const JpegDecoderContext* ctx, const uint32_t* values) {
    uint32_t m = 1;
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i)
        if (values[i] > m) m = values[i];
    return m;
}

bool IsDctFrame(const JpegDecoderContext* ctx) {
    return ctx->frameMarker == 0xC0 || ctx->frameMarker == 0xC2;
}

uint32_t ColorSpaceChannels(uint32_t colorSpace) {
    switch (colorSpace) {
        case kJpegColorRgb: case kJpegColorYcbcr: case kJpegColorItuLab: case kJpegColorCmy:
        case kJpegColorIccLab:
            return 3;
        case kJpegColorGray: case kJpegColorGrayReverse: case kJpegColorLstar:
            return 1;
        case kJpegColorCmyk:
            return 4;
        default:
            return 0;
    }
}

// ---- library users ----

JpegStatus InitJpegLibrary(const JpegAllocatorRecord* allocator, void* user) {
    jpegkernels::InitKernelDispatchOnce();
    if (g_libraryUsers.fetch_add(1) == 0) return BuildRangeLimitTable(allocator, user);
    return kJpegOk;
}

JpegStatus ReleaseJpegLibrary(const JpegAllocatorRecord* allocator, void* user) {
    uint32_t users = g_libraryUsers.load();
    while (users > 0 && !g_libraryUsers.compare_exchange_weak(users, users - 1)) {
    }
    if (users == 1) FreeRangeLimitTable(allocator, user);
    return kJpegOk;
}

uint32_t JpegLibraryUsers() { return g_libraryUsers.load(); }

// ---- sources ----

bool CreateMemorySource(const uint8_t* data, uint32_t size, const JpegAllocatorRecord* allocator,
                        void* user, JpegSourceRecord* out) {
    const JpegAllocatorRecord a = AllocatorOrDefault(allocator);
    auto* m = static_cast<MemorySourceRecord*>(a.allocate(user, sizeof(MemorySourceRecord)));
    if (!m) return false;
    *m = MemorySourceRecord{data, 0, data ? size : 0, a, user};
    *out = JpegSourceRecord{MemorySourceReadByte, MemorySourceRead, MemorySourceOffset,
                            MemorySourceSeek, m};
    return true;
}

void FreeMemorySource(JpegSourceRecord* source) {
    auto* m = static_cast<MemorySourceRecord*>(source->handle);
    if (m) m->allocator.free(m->user, m);
    source->handle = nullptr;
}

// A source over an open C file; the decoder closes the file at destruction.
JpegSourceRecord StdioSource(FILE* file) {
    return JpegSourceRecord{StdioSourceReadByte, StdioSourceRead, StdioSourceTell, StdioSourceSeek,
                            file};
}

// ---- context ----

JpegDecoderContext* CreateDecompressor(const JpegSourceRecord* source,
                                       const JpegAllocatorRecord* allocator, void* user,
                                       JpegStatus* status) {
    JpegStatus ignored = 0;
    if (!status) status = &ignored;
    if (!source || !source->readByte || !source->read || !source->tell || !source->seek) {
        *status = kJpegBadArgument;
        return nullptr;
    }
    const JpegAllocatorRecord a = AllocatorOrDefault(allocator);
    auto* ctx = static_cast<JpegDecoderContext*>(a.allocate(user, sizeof(JpegDecoderContext)));
    if (!ctx) {
        *status = kJpegEndOrNoMemory;
        return nullptr;
    }
    std::memset(static_cast<void*>(ctx), 0, sizeof(JpegDecoderContext));
    ctx->allocator = a;
    ctx->allocUser = user;
    ctx->selectedComponent = -1;
    ctx->source = *source;
    if (!IsMemorySource(*source) && !IsStdioSource(*source)) ctx->source.handle = user;
    ctx->scaleDenom = 1;
    ctx->memoryLimit = kJpegDefaultMemoryLimit;
    ctx->lostSample = kJpegLostSampleBytes128;
    ctx->state = 0;
    ctx->blockCursor = -1;
    *status = kJpegOk;
    return ctx;
}

JpegStatus DestroyDecompressor(JpegDecoderContext* ctx) {
    if (!ctx) return kJpegOk;
    ReleaseComponentBuffers(ctx);
    ReleaseBlockRecords(ctx);
    ReleaseEntropyState(ctx);
    ReleaseQuantTables(ctx);
    if (ctx->kernelPath) FreeKernelPathState(ctx);
    FreeEncoderQuantTables(ctx);
    FreeMemory(ctx, ctx->commentData);
    ctx->commentData = nullptr;
    FreeAppSegments(ctx);
    CloseSource(ctx);
    if (ctx->nonInterleaved) ctx->nonInterleaved->destroy(ctx);
    const JpegAllocatorRecord a = ctx->allocator;
    a.free(ctx->allocUser, ctx);
    return kJpegOk;
}

JpegStatus ReadHeader(JpegDecoderContext* ctx, uint32_t requested, uint32_t inputLength,
                      JpegDecoderContext* tables) {
    if (!ctx) return kJpegBadArgument;
    if (ctx->state != 0) return kJpegWrongState;
    if (tables) MergeTableContext(ctx, tables);
    ctx->requestedColorSpace = requested;
    ctx->inputLength = inputLength;
    ctx->headerStarted = 1;
    ctx->headerStart = SourceTell(ctx);
    const JpegStatus markers = ReadMarkers(ctx);
    if (markers < 1) {
        ctx->state = 1;
        return markers;
    }
    // A lossless frame's restart interval is whole rows; subsampled lossless
    // frames, whose intervals count units of several columns, are refused
    // as unsupported when decompression starts.
    if (ctx->frameMarker == 0xC3 && ctx->width != 0 && OneSampleEach(ctx) && ctx->restartInterval % ctx->width != 0)
        return kJpegBadLength;
    if (ctx->sampleBits == 0) ctx->sampleBits = 8;
    const uint32_t n = ctx->componentCount;
    ctx->outChannels = ctx->selectedComponent == -1 ? n : 1;
    const bool lossless = ctx->frameMarker == 0xC3;
    const uint32_t threeComponents = lossless ? kJpegColorRgb : kJpegColorYcbcr;
    if (requested == kJpegColorAsStored || ColorSpaceChannels(requested) != n) {
        switch (n) {
            case 1:
                ctx->requestedColorSpace =
                    requested == kJpegColorAsStored
                        ? kJpegColorGray
                        : (requested == kJpegColorItuLab || requested == kJpegColorIccLab
                               ? kJpegColorLstar
                               : kJpegColorGray);
                break;
            case 3:
                ctx->requestedColorSpace = threeComponents;
                break;
            case 4:
                ctx->requestedColorSpace = kJpegColorCmyk;
                break;
            default:
                ctx->state = 1;
                return kJpegBadValue;
        }
    }
    // RGB asked of a DCT image stored as YCbCr: the image stays YCbCr and the
    // rows are converted.
    const bool rgbFromYcc = ctx->requestedColorSpace == kJpegColorRgb && !lossless && n == 3 &&
                            (ctx->imageColorSpace == kJpegColorAsStored ||
                             ctx->imageColorSpace == kJpegColorYcbcr) &&
                            !AdobeSaysUntransformed(ctx);
    if (rgbFromYcc) {
        ctx->imageColorSpace = kJpegColorYcbcr;
    } else if (ctx->imageColorSpace == kJpegColorAsStored ||
               ColorSpaceChannels(ctx->imageColorSpace) != n) {
        ctx->imageColorSpace = ctx->requestedColorSpace;
    }
    if (ctx->selectedComponent >= 0)
        ctx->outColorSpace = kJpegColorGray;
    else
        ctx->outColorSpace = rgbFromYcc ? kJpegColorRgb : ctx->imageColorSpace;
    ctx->headerOutColorSpace = ctx->outColorSpace;
    if (inputLength == 0)
        ctx->bytesLeft = -1;
    else
        ctx->bytesLeft = int64_t{inputLength} + ctx->headerStart - SourceTell(ctx);
    if (ctx->bytesLeft < -1) ctx->bytesLeft = 0;
    ctx->state = 1;
    ctx->headerStarted = 2;  // the header is complete
    return markers;
}

JpegStatus SetLuminanceOnly(JpegDecoderContext* ctx, uint32_t flag) {
    ctx->luminanceOnly = flag;
    const uint32_t image = ctx->imageColorSpace;
    if (image == kJpegColorYcbcr || image == kJpegColorItuLab || image == kJpegColorIccLab) {
        if (flag) {
            ctx->outChannels = 1;
            ctx->outColorSpace = image == kJpegColorYcbcr ? kJpegColorGray : kJpegColorLstar;
        } else {
            // Back to what the header settled, a conversion asked of it
            // included.
            ctx->outChannels = ctx->selectedComponent == -1 ? ctx->componentCount : 1;
            ctx->outColorSpace = ctx->headerOutColorSpace ? ctx->headerOutColorSpace : image;
        }
    }
    return kJpegOk;
}

JpegStatus SetScaleDenominator(JpegDecoderContext* ctx, uint32_t denominator) {
    if (denominator != 1 && denominator != 2 && denominator != 4 && denominator != 8)
        return kJpegBadArgument;
    ctx->scaleDenom = denominator;
    return kJpegOk;
}

void SetRowsWanted(JpegDecoderContext* ctx, uint32_t rows) { ctx->rowsWanted = rows; }

void SetMemoryLimit(JpegDecoderContext* ctx, uint64_t bytes) { ctx->memoryLimit = bytes; }

void SetLostSampleValue(JpegDecoderContext* ctx, uint16_t value) { ctx->lostSample = value; }

JpegStatus CheckFrameSupported(JpegDecoderContext* ctx) {
    if (ctx->componentCount > 4) return kJpegUnsupported;
    const uint32_t f = ctx->frameMarker;
    if (f != 0xC0 && f != 0xC2 && f != 0xC3) return kJpegUnsupported;
    if ((f == 0xC0 || f == 0xC2) && ctx->precision != 8) return kJpegUnsupported;
    // Frames decoded whole take the kernel-backed path.
    const bool whole = !ctx->luminanceOnly && ctx->scaleDenom == 1 &&
                       (ctx->rowsWanted == 0 || ctx->rowsWanted == ctx->height);
    if (f == 0xC3) {
        // Lossless frames decode on the kernel path only, with one sample
        // per component and column, a predictor of the standard and a point
        // transform below the precision.
        if (ctx->scaleDenom != 1) return kJpegBadArgument;
        if (!whole || ctx->testGenericOnly || !OneSampleEach(ctx)) return kJpegUnsupported;
        if (ctx->scanSs < 1 || ctx->scanSs > 7 || (ctx->scanAhAl & 15) >= ctx->precision) return kJpegBadValue;
    } else {
        // The converting row drivers need the generic path's prescaled
        // coefficients.
        const bool converted = ctx->imageColorSpace == kJpegColorYcbcr && ctx->outColorSpace == kJpegColorRgb;
        if (f == 0xC2 || !whole || converted || ctx->testGenericOnly) return kJpegOk;
    }
    ctx->kernelPath = 1;
    return InitKernelPath(ctx);
}

JpegStatus StartDecompress(JpegDecoderContext* ctx) {
    if (!ctx || ctx->state != 1 || ctx->headerStarted != 2) return kJpegWrongState;
    if (ctx->componentCount == 0 || ctx->componentCount > kMaxComponents || ctx->width == 0 ||
        ctx->height == 0)
        return kJpegBadValue;
    if (ctx->rowsWanted == 0) ctx->rowsWanted = ctx->height;
    ctx->rowsLeft = ctx->rowsWanted;
    const bool conversion =
        ctx->imageColorSpace == kJpegColorYcbcr && ctx->outColorSpace == kJpegColorRgb;
    JpegStatus st = kJpegOk;
    if (ctx->nonInterleaved) {
        if (ctx->scaleDenom > 1 || ctx->luminanceOnly) return kJpegUnsupported;
        if (conversion) return kJpegBadArgument;
        if (!SamplingFactorsDivide(ctx)) return kJpegBadArgument;
        st = StartDecompressNonInterleaved(ctx);
        if (st > 0) ctx->state = 2;
        return st;
    }
    if ((st = CheckFrameSupported(ctx)) < 1) return st;
    if (!SamplingFactorsDivide(ctx)) return kJpegBadArgument;
    const bool progressive = ctx->frameMarker == 0xC2;
    // A sequential frame is decoded from one scan holding every component
    // (a decoder of one component from the scan that holds it).
    if (!progressive && ctx->selectedComponent < 0 && !FirstScanHoldsEveryComponent(ctx))
        return kJpegUnsupported;
    if ((st = InitEntropyDecoder(ctx, 8)) < 1) return st;
    const bool lossless = ctx->frameMarker == 0xC3;
    if (lossless) {
        for (uint32_t& size : ctx->blockSize) size = 1;
        // Restart intervals of lossless frames are whole rows: counted in
        // rows from here on.
        ctx->restartInterval /= ctx->width;
    } else {
        if ((st = SetupSamplingAndIdct(ctx)) < 1) return st;
        if ((st = InitQuantTables(ctx, 0, 0)) < 1) return st;
    }
    if ((st = InitMcuGeometry(ctx, 0)) < 1) return st;
    if ((st = InitColorConverter(ctx, 0)) < 1) return st;
    InstallUpsamplers(ctx, 0);
    if (lossless) {
        if (conversion) return kJpegBadArgument;
        InstallLosslessReconstruction(ctx);
        if (ctx->losslessSingleUnit)
            ctx->rowDriver = RowDriverLosslessSingleUnit;
        else if (ctx->componentCount == 1 && ctx->sampleBits == 16)
            ctx->rowDriver = RowDriverLossless16Gray;
        else
            ctx->rowDriver = ctx->selectedComponent < 0 ? RowDriverLossless : RowDriverLosslessScans;
        ctx->state = 2;
        return st;
    }
    const uint32_t image = ctx->imageColorSpace;
    if ((image == kJpegColorYcbcr || image == kJpegColorItuLab || image == kJpegColorIccLab) &&
        ctx->luminanceOnly) {
        ctx->rowDriver = progressive ? RowDriverProgressiveLuma : RowDriverSequentialLuma;
    } else if (progressive) {
        if (conversion || ctx->scaleDenom != 1) return kJpegBadArgument;
        ctx->rowDriver = RowDriverProgressive;
    } else if (!conversion) {
        ctx->rowDriver = RowDriverSequential;
    } else if (ctx->scaleDenom == 1 && SamplingIs420(ctx)) {
        ctx->rowDriver = RowDriverYccToRgb420;
    } else if (ctx->scaleDenom == 1 && SamplingIs422(ctx)) {
        ctx->rowDriver = RowDriverYccToRgb422;
    } else if (ctx->scaleDenom == 1 && SamplingIs444(ctx)) {
        ctx->rowDriver = RowDriverYccToRgb444;
    } else {
        // Samplings and sizes the converting drivers do not handle: the
        // planes are converted as the rows are written.
        ctx->rowDriver = RowDriverSequential;
        ctx->writeRow = InterleaveRow3YccToRgb;
    }
    ctx->state = 2;
    return st;
}

JpegStatus ReadRows(JpegDecoderContext* ctx, uint8_t* row) {
    if (!ctx || ctx->state != 2 || !row) return kJpegWrongState;
    if (ctx->nonInterleaved) return ReadRowsNonInterleaved(ctx, row);
    JpegStatus st = kJpegOk;
    if (ctx->frameMarker == 0xC3) {
        // One sample row per call, handed to the driver, which may write
        // the caller's row itself.
        if (ctx->mcuRow >= ctx->mcuRows) return kJpegWrongState;
        ctx->losslessOutput = row;
        ctx->losslessRowLost = 0;
        st = ctx->rowDriver(ctx);
        if (st < 1) return st;
        if (ctx->losslessRowLost) {
            // A component's own decoder fills its plane, of 16-bit samples.
            const bool plane = ctx->selectedComponent >= 0;
            const size_t bytes = plane ? ctx->componentRows[ctx->selectedComponent].size
                                       : size_t{ctx->width} * ctx->outChannels * (ctx->sampleBits > 8 ? 2 : 1);
            FillLostRow(ctx, row, bytes, plane || ctx->sampleBits > 8);
        } else {
            ctx->writeRow(ctx, row);
        }
        if (ctx->rowsLeft > 0) --ctx->rowsLeft;
        return st;
    }
    if (ctx->bufferedRows == 0) {
        if (ctx->mcuRow >= ctx->mcuRows) return kJpegWrongState;
        if (ctx->rowsLeft == 0) {
            DropPartialByte(ctx);
            for (int i = 0; i < 3; ++i) ctx->dcPredictors[i] = 0;
            ctx->rowsLeft = ctx->rowsWanted;
        }
        // The kernel path's drivers write what they pass over themselves.
        if (ctx->kernelPath)
            RewindComponentRows(ctx);
        else
            ResetComponentRows(ctx);
        st = ctx->rowDriver(ctx);
        if (st < 1) return st;
        ctx->bufferedRows = static_cast<uint16_t>(ctx->componentRows[0].plane.rows / ctx->scaleDenom);
    }
    ctx->writeRow(ctx, row);
    --ctx->bufferedRows;
    if (ctx->rowsLeft > 0) --ctx->rowsLeft;
    return st;
}

// ---- readers ----

uint32_t JpegWidth(const JpegDecoderContext* ctx) { return ctx->width; }
uint32_t JpegHeight(const JpegDecoderContext* ctx) { return ctx->height; }
uint32_t JpegComponentCount(const JpegDecoderContext* ctx) { return ctx->componentCount; }
uint32_t JpegPrecision(const JpegDecoderContext* ctx) { return ctx->precision; }
uint32_t JpegSampleBits(const JpegDecoderContext* ctx) { return ctx->sampleBits; }
uint32_t JpegOutChannels(const JpegDecoderContext* ctx) { return ctx->outChannels; }
uint32_t JpegOutColorSpace(const JpegDecoderContext* ctx) { return ctx->outColorSpace; }
uint32_t JpegImageColorSpace(const JpegDecoderContext* ctx) { return ctx->imageColorSpace; }
uint32_t JpegFrameMarker(const JpegDecoderContext* ctx) { return ctx->frameMarker; }
bool IsProgressive(const JpegDecoderContext* ctx) { return ctx->frameMarker == 0xC2; }
bool IsLossless(const JpegDecoderContext* ctx) { return ctx->frameMarker == 0xC3; }
bool IsNonInterleaved(const JpegDecoderContext* ctx) { return ctx->nonInterleaved != nullptr; }
uint32_t JpegDamage(const JpegDecoderContext* ctx) {
    uint32_t damage = ctx->damage;
    const NonInterleavedRecord* m = ctx->nonInterleaved;
    for (uint32_t i = 0; m && m->children && i < ctx->componentCount; ++i)
        if (m->children[i]) damage |= JpegDamage(m->children[i]);
    return damage;
}
uint32_t XDensityOf(const JpegDecoderContext* ctx) { return ctx->xDensity; }
uint32_t YDensityOf(const JpegDecoderContext* ctx) { return ctx->yDensity; }
const char* JpegComment(const JpegDecoderContext* ctx) { return ctx->commentData; }

uint32_t SamplingCode(const JpegDecoderContext* ctx) {
    auto byte = [&](uint32_t i) {
        return (uint32_t{ctx->rawSamplingH[i]} << 4) | ctx->rawSamplingV[i];
    };
    switch (ctx->componentCount) {
        case 3:
            return (byte(0) << 16) | (byte(1) << 8) | byte(2);
        case 4:
            return (byte(0) << 24) | (byte(1) << 16) | (byte(2) << 8) | byte(3);
        default:
            return 0x111111;
    }
}

uint32_t AppSegmentCount(const JpegDecoderContext* ctx) { return ctx->appSegmentCount; }
const JpegAppSegment* AppSegmentAt(const JpegDecoderContext* ctx, uint32_t index) {
    return index < ctx->appSegmentCount ? &ctx->appSegments[index] : nullptr;
}
bool HasJfifApp0(const JpegDecoderContext* ctx) { return HasApp(ctx, 0xE0, 5, "JFIF", 5); }
bool HasExifApp1(const JpegDecoderContext* ctx) { return HasApp(ctx, 0xE1, 6, "Exif", 4); }
bool HasG3faxApp1(const JpegDecoderContext* ctx) { return HasApp(ctx, 0xE1, 10, "G3FAX", 6); }
bool HasAdobeApp14(const JpegDecoderContext* ctx) { return HasApp(ctx, 0xEE, 12, "Adobe", 5); }

}  // namespace jpegdec
