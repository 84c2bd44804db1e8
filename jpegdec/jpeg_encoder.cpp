// The encoder direction of the decoder core: the MCU input converters that
// turn interleaved 8-bit samples into level-shifted 16-bit blocks, and the
// reciprocal quantisation tables of the forward transform. Decoding never
// enters these steps; they reach the kernel rows of the encoder direction
// through KernelCall like every other kernel user here.
#include "jpegdec/jpeg_kernelpath.h"

namespace jpegdec {

namespace {

// The kernel rows 1 to 6 as routines of EncoderConvertMcu.
template <KernelRow R>
KernelStatus32 McuRow(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {
    return KernelCall<R>(source, rowStep, planes);
}

}  // namespace

JpegStatus EncoderConvertMcu(JpegDecoderContext* ctx, const EncoderMcu* mcu, EncoderMcuRoutine r444,
                             EncoderMcuRoutine r422, EncoderMcuRoutine r420) {
    EncoderMcuRoutine routine = nullptr;
    switch (SamplingCode(ctx)) {
        case 0x111111: routine = r444; break;
        case 0x211111: routine = r422; break;
        case 0x221111: routine = r420; break;
        default: return kJpegOk;
    }
    int16_t* const planes[3] = {mcu->blocks[0], mcu->blocks[1], mcu->blocks[2]};
    return routine(mcu->samples, mcu->rowStep, planes) == 0 ? kJpegOk : kJpegBadArgument;
}

JpegStatus EncoderConvertMcuYCbCr(JpegDecoderContext* ctx, const EncoderMcu* mcu) {
    return EncoderConvertMcu(ctx, mcu, McuRow<KernelRow::RgbToYCbCrLevelShift444>,
                             McuRow<KernelRow::RgbToYCbCrLevelShift422>, McuRow<KernelRow::RgbToYCbCrLevelShift420>);
}

JpegStatus EncoderConvertMcuLevelShift(JpegDecoderContext* ctx, const EncoderMcu* mcu) {
    return EncoderConvertMcu(ctx, mcu, McuRow<KernelRow::LevelShiftSplit444>, McuRow<KernelRow::LevelShiftSplit422>,
                             McuRow<KernelRow::LevelShiftSplit420>);
}

JpegStatus EncoderLevelShiftMcu1(JpegDecoderContext*, const EncoderMcu* mcu) {
    int16_t* block = mcu->blocks[0];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            block[8 * y + x] = static_cast<int16_t>(mcu->samples[ptrdiff_t{y} * mcu->rowStep + x] - 128);
    return kJpegOk;
}

// Any sampling of three components: each component's blocks in the MCU's
// block order (left to right, then down), a subsampled sample being the
// truncated mean of the pixels it covers.
JpegStatus EncoderConvertMcu3(JpegDecoderContext* ctx, const EncoderMcu* mcu) {
    for (int c = 0; c < 3; ++c) {
        const int h = ctx->rawSamplingH[c], v = ctx->rawSamplingV[c];
        const int hr = ctx->hRatio[c], vr = ctx->vRatio[c];
        int16_t* block = mcu->blocks[c];
        for (int by = 0; by < v; ++by)
            for (int bx = 0; bx < h; ++bx, block += 64)
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x) {
                        const int top = (8 * by + y) * vr, left = (8 * bx + x) * hr;
                        int sum = 0;
                        for (int j = 0; j < vr; ++j)
                            for (int i = 0; i < hr; ++i)
                                sum += mcu->samples[ptrdiff_t{top + j} * mcu->rowStep + 3 * (left + i) + c];
                        block[8 * y + x] = static_cast<int16_t>(sum / (hr * vr) - 128);
                    }
    }
    return kJpegOk;
}

void SelectEncoderMcuConverter(JpegDecoderContext* ctx) {
    if (ctx->componentCount == 1)
        ctx->encoderMcuConverter = EncoderLevelShiftMcu1;
    else if (ctx->componentCount == 3 && SamplingIs411(ctx))
        ctx->encoderMcuConverter = EncoderConvertMcu3;
    else if (ctx->componentCount == 3)
        ctx->encoderMcuConverter = ctx->encoderConvertsRgb ? EncoderConvertMcuYCbCr : EncoderConvertMcuLevelShift;
}

JpegStatus PrepareQuantTablesByKernel(JpegDecoderContext* ctx) {
    FreeEncoderQuantTables(ctx);
    const uint32_t count = ctx->quantTableCount;
    if (count == 0 || !ctx->quantTables) return kJpegBadLength;
    ctx->encoderQuantTables = static_cast<uint16_t*>(AllocZeroed(ctx, uint64_t{count} * 64, sizeof(uint16_t)));
    if (!ctx->encoderQuantTables) return kJpegEndOrNoMemory;
    ctx->encoderQuantTableCount = count;
    for (uint32_t t = 0; t < count; ++t) {
        uint8_t zigzag[64];
        for (int k = 0; k < 64; ++k) zigzag[k] = static_cast<uint8_t>(ctx->quantTables[t].values[kZigzagToNatural[k]]);
        // A quantiser of 0 (status 6) still leaves a complete table.
        const KernelStatus32 st =
            KernelCall<KernelRow::QuantTableInit>(zigzag, ctx->encoderQuantTables + 64 * size_t{t});
        if (st != 0 && st != jpegkernels::kKernelZeroQuantiser) return kJpegBadArgument;
    }
    const uint16_t* chroma = ctx->encoderQuantTables + (count > 1 ? 64 : 0);
    ctx->encoderQuantTable[0] = ctx->encoderQuantTables;
    for (int c = 1; c < kMaxComponents; ++c) ctx->encoderQuantTable[c] = chroma;
    return kJpegOk;
}

void FreeEncoderQuantTables(JpegDecoderContext* ctx) {
    FreeMemory(ctx, ctx->encoderQuantTables);
    ctx->encoderQuantTables = nullptr;
    ctx->encoderQuantTableCount = 0;
    for (const uint16_t*& table : ctx->encoderQuantTable) table = nullptr;
}

}  // namespace jpegdec
