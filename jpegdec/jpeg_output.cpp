// The component row buffers and the converters that turn the component
// planes into interleaved output rows.
#include <cstring>

#include "jpegdec/jpeg_context.h"
#include "jpegkernels/colorconv/colorconv_kernels.h"
#include "platform/byte_count.h"

namespace jpegdec {

namespace {

uint32_t PointTransform(const JpegDecoderContext* ctx) { return ctx->scanAhAl & 15; }

inline uint16_t Sample16(const uint8_t* plane, uint32_t x) {
    uint16_t v;
    std::memcpy(&v, plane + 2 * size_t{x}, 2);
    return v;
}

void Advance(ComponentRows& c) { c.current += c.plane.stride; }

// Chroma that the row converter repeats itself (its planes keep the decoded
// size): full-size output of three components in the stream's colour space,
// component 0 sampled the most, components 1 and 2 alike at half its width,
// height or both.
bool ChromaRepeatedByRows(const JpegDecoderContext* ctx) {
    const bool converted = ctx->imageColorSpace == kJpegColorYcbcr && ctx->outColorSpace == kJpegColorRgb;
    const uint32_t h = ctx->hRatio[1], v = ctx->vRatio[1];
    return ctx->scaleDenom == 1 && !converted && ctx->hRatio[0] == 1 && ctx->vRatio[0] == 1 &&
           ctx->hRatio[2] == h && ctx->vRatio[2] == v && h <= 2 && v <= 2 && h * v > 1;
}

}  // namespace

JpegStatus InitComponentBuffers(JpegDecoderContext* ctx, uint32_t direction) {
    if (direction != 0) return kJpegBadArgument;
    const uint32_t maxH = MaxOverComponents(ctx, ctx->mcuBlocksH);
    const uint32_t maxV = MaxOverComponents(ctx, ctx->mcuBlocksV);
    const uint32_t maxRatio = LargestComponentValue(ctx, ctx->hRatio);
    const bool lossless = ctx->frameMarker == 0xC3;
    uint32_t unit = 1, rows = 1;
    if (!lossless) {
        rows = 8 * maxV;
        unit = 8 * (ctx->selectedComponent >= 0 ? maxRatio : maxH);
    }
    const uint32_t padded = (uint32_t{ctx->width} + unit - 1) / unit * unit;
    const platform::ByteCount size =
        platform::ByteCount(padded) * rows * (lossless ? 2 : 1);
    if (!size.fits<uint32_t>()) return kJpegEndOrNoMemory;
    ctx->componentRows = static_cast<ComponentRows*>(AllocZeroed(ctx, ctx->componentCount, sizeof(ComponentRows)));
    if (!ctx->componentRows) return kJpegEndOrNoMemory;
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        ComponentRows& c = ctx->componentRows[i];
        c.plane.width = c.plane.stride = padded;
        c.plane.rows = rows;
        c.size = static_cast<uint32_t>(size.value());
        if (ctx->selectedComponent >= 0 && static_cast<uint32_t>(ctx->selectedComponent) != i) continue;
        auto* block = static_cast<uint8_t*>(AllocBytes(ctx, uint64_t{c.size} * (lossless ? 3 : 1)));
        if (!block) return kJpegEndOrNoMemory;
        c.plane.data = c.current = block;
        if (lossless) {
            c.second = block + c.size;
            c.third = block + 2 * size_t{c.size};
        }
    }
    return kJpegOk;
}

JpegStatus InitColorConverter(JpegDecoderContext* ctx, uint32_t direction) {
    if (direction != 0) return kJpegBadArgument;
    ctx->bufferedRows = 0;
    const JpegStatus st = InitComponentBuffers(ctx, direction);
    if (st < 0) return st;
    const uint32_t n = ctx->componentCount;
    if (ctx->frameMarker == 0xC3) {
        if (ctx->selectedComponent >= 0)
            ctx->writeRow = CopySelectedLosslessRow;
        else if (n == 1)
            ctx->writeRow = ctx->sampleBits <= 8 ? ShiftGrayLossless8 : ShiftGrayLossless16;
        else if (n == 3)
            ctx->writeRow = ctx->sampleBits <= 8 ? InterleaveLossless3x8 : InterleaveLossless3x16;
        else
            ctx->writeRow = InterleaveLosslessN;
    } else {
        const uint32_t image = ctx->imageColorSpace;
        if (ctx->selectedComponent >= 0)
            ctx->writeRow = CopySelectedRow;
        else if (image == kJpegColorGray || image == kJpegColorLstar || image == kJpegColorGrayReverse)
            ctx->writeRow = CopyGrayRow;
        else if (ctx->luminanceOnly)
            ctx->writeRow = CopyLumaRow;
        else if (n == 4)
            ctx->writeRow = InterleaveRow4;
        else if (n == 3)
            ctx->writeRow = ChromaRepeatedByRows(ctx) ? InterleaveRow3Replicated : InterleaveRow3;
        else
            return kJpegUnsupported;
    }
    const uint32_t s = ctx->scaleDenom;
    if (s != 1) {
        uint32_t w = static_cast<uint32_t>(ctx->width / static_cast<double>(s) + 0.5);
        uint32_t h = static_cast<uint32_t>(ctx->height / static_cast<double>(s) + 0.5);
        ctx->width = static_cast<uint16_t>(w == 0 ? 1 : w);
        ctx->height = static_cast<uint16_t>(h == 0 ? 1 : h);
    }
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t mcuWidth = ctx->mcuWidth[i];
        if (i == 0 && n > 1 && !SamplingIs411(ctx)) mcuWidth *= n;
        ctx->componentRows[i].mcuWidth = mcuWidth & 0xFFFF;
    }
    return kJpegOk;
}

void RewindComponentRows(JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        ctx->componentRows[i].current = ctx->componentRows[i].plane.data;
}

void ResetComponentRows(JpegDecoderContext* ctx) {
    RewindComponentRows(ctx);
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        if (ctx->componentRows[i].plane.data)
            std::memset(ctx->componentRows[i].plane.data, 128, ctx->componentRows[i].size);
}

void ReleaseComponentBuffers(JpegDecoderContext* ctx) {
    if (!ctx->componentRows) return;
    for (uint32_t i = 0; i < ctx->componentCount; ++i) FreeMemory(ctx, ctx->componentRows[i].plane.data);
    FreeMemory(ctx, ctx->componentRows);
    ctx->componentRows = nullptr;
}

// ---- 8-bit rows of DCT frames ----

void InterleaveRow3(JpegDecoderContext* ctx, uint8_t* out) {
    ComponentRows* c = ctx->componentRows;
    jpegkernels::ChosenInterleaveSamples3()(c[0].current, c[1].current, c[2].current, out, ctx->width, 0);
    for (int i = 0; i < 3; ++i) Advance(c[i]);
}

void InterleaveRow3Replicated(JpegDecoderContext* ctx, uint8_t* out) {
    ComponentRows* c = ctx->componentRows;
    // The chroma row of this output row, counted from the first of the MCU
    // row.
    const uint32_t row = static_cast<uint32_t>((c[0].current - c[0].plane.data) / c[0].plane.stride) / ctx->vRatio[1];
    jpegkernels::ChosenInterleaveSamples3()(c[0].current, c[1].plane.data + size_t{row} * c[1].plane.stride,
                                            c[2].plane.data + size_t{row} * c[2].plane.stride, out, ctx->width,
                                            ctx->hRatio[1] == 2 ? 1 : 0);
    Advance(c[0]);
}

void InterleaveRow4(JpegDecoderContext* ctx, uint8_t* out) {
    ComponentRows* c = ctx->componentRows;
    const uint8_t *a = c[0].current, *b = c[1].current, *d = c[2].current, *e = c[3].current;
    for (uint32_t x = 0, w = ctx->width; x < w; ++x, out += 4) {
        out[0] = a[x];
        out[1] = b[x];
        out[2] = d[x];
        out[3] = e[x];
    }
    for (int i = 0; i < 4; ++i) Advance(c[i]);
}

// YCbCr planes written as RGB pixels, for samplings and sizes the
// converting row drivers do not handle.
void InterleaveRow3YccToRgb(JpegDecoderContext* ctx, uint8_t* out) {
    ComponentRows* c = ctx->componentRows;
    const uint8_t *yp = c[0].current, *cbp = c[1].current, *crp = c[2].current;
    auto round9 = [](int32_t v) { return (v + (v >= 0 ? 256 : -256)) >> 9; };
    auto clamp = [](int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    for (uint32_t x = 0, w = ctx->width; x < w; ++x, out += 3) {
        const int32_t y = yp[x], cb = cbp[x] - 128, cr = crp[x] - 128;
        out[0] = clamp(y + round9(718 * cr));
        out[1] = clamp(y + round9(-176 * cb - 365 * cr));
        out[2] = clamp(y + round9(906 * cb));
    }
    for (int i = 0; i < 3; ++i) Advance(c[i]);
}

void CopyLumaRow(JpegDecoderContext* ctx, uint8_t* out) {
    std::memcpy(out, ctx->componentRows[0].current, ctx->width);
    for (uint32_t i = 0; i < 3 && i < ctx->componentCount; ++i) Advance(ctx->componentRows[i]);
}

void CopyGrayRow(JpegDecoderContext* ctx, uint8_t* out) {
    std::memcpy(out, ctx->componentRows[0].current, ctx->width);
    Advance(ctx->componentRows[0]);
}

void CopySelectedRow(JpegDecoderContext* ctx, uint8_t* out) {
    ComponentRows& c = ctx->componentRows[ctx->selectedComponent];
    std::memcpy(out, c.current, ctx->width);
    Advance(c);
}

// ---- rows of lossless frames: 16-bit samples in the buffers ----

void ShiftGrayLossless8(JpegDecoderContext* ctx, uint8_t* out) {
    const uint8_t* p = ctx->componentRows[0].current;
    const uint32_t al = PointTransform(ctx);
    for (uint32_t x = 0; x < ctx->width; ++x) out[x] = static_cast<uint8_t>((Sample16(p, x) & 0xFF) << al);
}

void ShiftGrayLossless16(JpegDecoderContext* ctx, uint8_t* out) {
    const uint32_t al = PointTransform(ctx);
    if (al == 0) return;
    for (uint32_t x = 0; x < ctx->width; ++x) {
        uint16_t v = Sample16(out, x);
        v = static_cast<uint16_t>(v << al);
        std::memcpy(out + 2 * size_t{x}, &v, 2);
    }
}

void InterleaveLossless3x8(JpegDecoderContext* ctx, uint8_t* out) {
    const uint32_t al = PointTransform(ctx);
    for (uint32_t x = 0; x < ctx->width; ++x)
        for (int i = 0; i < 3; ++i)
            out[3 * x + i] = static_cast<uint8_t>((Sample16(ctx->componentRows[i].current, x) & 0xFF) << al);
}

void InterleaveLossless3x16(JpegDecoderContext* ctx, uint8_t* out) {
    const uint32_t al = PointTransform(ctx);
    for (uint32_t x = 0; x < ctx->width; ++x)
        for (int i = 0; i < 3; ++i) {
            const uint16_t v = static_cast<uint16_t>(Sample16(ctx->componentRows[i].current, x) << al);
            std::memcpy(out + 2 * (3 * size_t{x} + i), &v, 2);
        }
}

void InterleaveLosslessN(JpegDecoderContext* ctx, uint8_t* out) {
    const uint32_t al = PointTransform(ctx), n = ctx->componentCount;
    for (uint32_t x = 0; x < ctx->width; ++x)
        for (uint32_t i = 0; i < n; ++i) {
            const uint16_t v = static_cast<uint16_t>(Sample16(ctx->componentRows[i].current, x) << al);
            if (ctx->sampleBits <= 8)
                out[n * x + i] = static_cast<uint8_t>(v & 0xFF);
            else
                std::memcpy(out + 2 * (size_t{n} * x + i), &v, 2);
        }
}

void CopySelectedLosslessRow(JpegDecoderContext* ctx, uint8_t* out) {
    const ComponentRows& c = ctx->componentRows[ctx->selectedComponent];
    std::memcpy(out, c.current, c.size);
}

}  // namespace jpegdec
