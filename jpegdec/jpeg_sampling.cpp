// Per-component transforms and output block sizes for each output scale,
// the in-place resampling that brings every plane to component 0's size,
// and the release of the quantisation and entropy state.
#include <cstring>

#include "jpegdec/jpeg_context.h"
#include "jpegdec/jpeg_simd.h"

namespace jpegdec {

namespace {

bool SamplingIs(const JpegDecoderContext* ctx, uint8_t first) {
    auto byte = [&](int i) { return static_cast<uint8_t>((ctx->rawSamplingH[i] << 4) | ctx->rawSamplingV[i]); };
    return ctx->componentCount == 3 && byte(0) == first && byte(1) == 0x11 && byte(2) == 0x11;
}

bool Subsampled(const JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        if (ctx->hRatio[i] != 1 || ctx->vRatio[i] != 1) return true;
    return false;
}

struct Choice {
    IdctFn idct;
    uint32_t blockSize;
};

Choice TransformFor(uint32_t outputSize) {
    switch (outputSize) {
        case 8: return {IdctFast, 1};
        case 4: return {IdctReduced4x4, 2};
        case 2: return {IdctReduced2x2, 4};
        default: return {IdctDcOnly, 8};
    }
}

void DoubleSamples(uint8_t* row, uint32_t n) {
#if defined(__SSE2__)
    DoubleSamplesSse2(row, n);
#else
    for (uint32_t i = n; i-- > 0;) row[2 * size_t{i}] = row[2 * size_t{i} + 1] = row[i];
#endif
}

}  // namespace

bool SamplingIs444(const JpegDecoderContext* ctx) { return SamplingIs(ctx, 0x11); }
bool SamplingIs422(const JpegDecoderContext* ctx) { return SamplingIs(ctx, 0x21); }
bool SamplingIs420(const JpegDecoderContext* ctx) { return SamplingIs(ctx, 0x22); }
bool SamplingIs411(const JpegDecoderContext* ctx) { return SamplingIs(ctx, 0x41); }

JpegStatus SetupSamplingAndIdct(JpegDecoderContext* ctx) {
    const uint32_t s = ctx->scaleDenom;
    if (s != 1 && s != 2 && s != 4 && s != 8) return kJpegBadArgument;
    const bool halfChroma = SamplingIs420(ctx) || SamplingIs422(ctx);
    const bool quarterChroma = SamplingIs411(ctx);
    // Reduced sizes of other subsampled patterns would leave planes of
    // different sizes: they are not offered.
    if (s != 1 && Subsampled(ctx) && !halfChroma && !quarterChroma) return kJpegBadArgument;
    const uint32_t lumaSize = 8 / s;
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i) {
        uint32_t size = lumaSize;
        if (i > 0 && halfChroma) size = lumaSize * 2;
        if (i > 0 && quarterChroma) size = lumaSize * 4;
        if (size > 8) size = 8;
        const Choice c = TransformFor(size);
        ctx->idct[i] = ctx->kernelPath && s == 1 ? DequantIdctByKernel : c.idct;
        ctx->blockSize[i] = c.blockSize;
        ctx->scaledHFactor[i] = ctx->scaledVFactor[i] = 1;
    }
    if (s != 1) {
        for (uint32_t i = 1; i < ctx->componentCount && i < kMaxComponents; ++i) {
            if (SamplingIs422(ctx)) {
                ctx->scaledVFactor[i] = 2;
            } else if (quarterChroma) {
                ctx->scaledHFactor[i] = s == 2 ? 2 : 1;
                ctx->scaledVFactor[i] = s == 2 ? 2 : 4;
            }
        }
    }
    return kJpegOk;
}

void InstallUpsamplers(JpegDecoderContext* ctx, uint32_t direction) {
    if (direction != 0) return;
    const uint32_t s = ctx->scaleDenom;
    const ComponentRows& c0 = ctx->componentRows[0];
    for (uint32_t i = 0; i < ctx->componentCount && i < kMaxComponents; ++i) {
        const uint32_t h = ctx->hRatio[i], v = ctx->vRatio[i];
        UpsampleFn f = nullptr;
        if (s == 1) {
            if ((h == 1 && v == 1) || (i > 0 && ctx->writeRow == InterleaveRow3Replicated))
                f = nullptr;
            else if (v == 1)
                f = UpsampleReplicateH;
            else if (h == 1)
                f = UpsampleReplicateV;
            else
                f = UpsampleReplicateHV;
        } else if (i > 0 && SamplingIs411(ctx)) {
            f = s == 2 ? DownsampleVReplicateH : DownsampleAverageV;
        } else if (i > 0 && SamplingIs422(ctx)) {
            f = DownsampleAverageV;
        }
        ctx->upsampler[i] = f;
        ctx->upsampleHeight[i] = c0.plane.rows / s;
        ctx->upsampleWidth[i] = c0.plane.stride / s;
    }
}

void UpsampleReplicateH(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t, uint32_t w,
                        uint32_t) {
    if (hf == 2 && w % 2 == 0) {
        for (uint32_t r = s->rows; r-- > 0;) DoubleSamples(s->data + size_t{r} * s->stride, w / 2);
    } else if (hf > 1) {
        for (uint32_t r = s->rows; r-- > 0;) {
            uint8_t* row = s->data + size_t{r} * s->stride;
            for (uint32_t x = w; x-- > 0;) row[x] = row[x / hf];
        }
    }
    *d = PlaneRecord{w, s->rows, s->stride, s->data};
}

void UpsampleReplicateV(PlaneRecord* s, PlaneRecord* d, uint32_t, uint32_t vf, uint32_t,
                        uint32_t rows) {
    const size_t stride = s->stride;
    for (uint32_t k = s->rows; k-- > 0;) {
        const uint8_t* from = s->data + k * stride;
        for (uint32_t j = vf; j-- > 0;) {
            const uint32_t to = k * vf + j;
            if (to >= rows || to == k) continue;
            std::memmove(s->data + to * stride, from, stride);
        }
    }
    *d = PlaneRecord{s->width, rows, s->stride, s->data};
}

void UpsampleReplicateHV(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                         uint32_t rows) {
    PlaneRecord wide;
    UpsampleReplicateH(s, &wide, hf, vf, w, rows);
    UpsampleReplicateV(&wide, d, hf, vf, w, rows);
}

void DownsampleAverageV(PlaneRecord* s, PlaneRecord* d, uint32_t, uint32_t vf, uint32_t,
                        uint32_t rows) {
    const size_t stride = s->stride;
    const uint32_t shift = vf / 2;
    for (uint32_t r = 0; r < rows; ++r) {
        uint8_t* out = s->data + r * stride;
        for (uint32_t x = 0; x < s->width; ++x) {
            uint32_t sum = 0;
            for (uint32_t j = 0; j < vf; ++j) sum += s->data[(size_t{r} * vf + j) * stride + x];
            out[x] = static_cast<uint8_t>(sum >> shift);
        }
    }
    *d = PlaneRecord{s->width, rows, s->stride, s->data};
}

void DownsampleVReplicateH(PlaneRecord* s, PlaneRecord* d, uint32_t hf, uint32_t vf, uint32_t w,
                           uint32_t rows) {
    // The horizontal step covers the averaged rows only: the rows below
    // them carry nothing.
    PlaneRecord averaged;
    DownsampleAverageV(s, &averaged, hf, vf, w, rows);
    UpsampleReplicateH(&averaged, d, hf, vf, w, rows);
}

void ReleaseEntropyState(JpegDecoderContext* ctx) {
    if (!ctx->haveTables) FreeHuffmanTableRecords(ctx);
    if (ctx->kernelPath) FreeKernelPathBuffers(ctx);
    ctx->dcTables = ctx->acTables = nullptr;
    ctx->dcTableCount = ctx->acTableCount = 0;
    FreeMemory(ctx, ctx->inputBuffer);
    ctx->inputBuffer = nullptr;
}

}  // namespace jpegdec
