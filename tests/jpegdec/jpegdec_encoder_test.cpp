// The encoder direction of the decoder core: the MCU converters and the
// reciprocal tables, round-tripped against the kernel tests' encoder (whose
// stream also gives the decoder context its tables and sampling).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "jpegdec/jpeg_context.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegdec/jpegdec_test_support.h"
#include "tests/jpegkernels/encode_test_stream.h"

namespace {

using namespace jpegdectest;
namespace kt = jpegkernels::testing;

// The picture's MCU at (mx, my) with the edge pixels repeated where it
// passes the picture, as the kernel tests' encoder takes it.
std::vector<uint8_t> McuSamples(const kt::RgbPicture& p, int mx, int my, int width, int height) {
    std::vector<uint8_t> mcu(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                mcu[(size_t(y) * width + x) * 3 + c] =
                    p.samples[(size_t(std::min(my * height + y, p.height - 1)) * p.width +
                               std::min(mx * width + x, p.width - 1)) * 3 + c];
    return mcu;
}

// Every MCU through the installed converter, the reciprocal tables and the
// forward transform of the column the stubs use: the encoder's own
// coefficients, block for block.
TEST(EncoderDirection, ConvertersAndReciprocalTablesRoundTrip) {
    struct Case {
        kt::Sampling sampling;
        bool convert;
        int quality;
    };
    const Case cases[] = {{kt::Sampling::k444, true, 90}, {kt::Sampling::k422, false, 75},
                          {kt::Sampling::k420, true, 50}, {kt::Sampling::k420, false, 95}};
    uint32_t seed = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.sampling)) + (c.convert ? " converted" : " level-shifted"));
        const kt::RgbPicture picture = kt::SyntheticPicture(37, 29, seed++);
        Decoder d(Bytes{});  // joins the library: the column is chosen
        const int column = jpegkernels::ProcessorIndex();
        kt::BaselineOptions options;
        options.sampling = c.sampling;
        options.convert = c.convert;
        options.quality = c.quality;
        const kt::BaselineResult encoded = kt::EncodeBaseline(picture, options, column);
        ASSERT_EQ(encoded.status, 0);
        Decoder header(encoded.jpeg);
        JpegDecoderContext* ctx = header.ctx;
        ASSERT_GE(header.header, 1);
        ctx->encoderConvertsRgb = c.convert;
        SelectEncoderMcuConverter(ctx);
        EXPECT_EQ(ctx->encoderMcuConverter, c.convert ? EncoderConvertMcuYCbCr : EncoderConvertMcuLevelShift);
        ASSERT_EQ(PrepareQuantTablesByKernel(ctx), kJpegOk);
        const int h = ctx->rawSamplingH[0], v = ctx->rawSamplingV[0];
        const auto forward = jpegkernels::kKernelDispatchTable.Row<jpegkernels::KernelRow::ForwardDctQuant8x8>()[column];
        int mismatches = 0;
        for (int my = 0; my * 8 * v < picture.height; ++my)
            for (int mx = 0; mx * 8 * h < picture.width; ++mx) {
                const std::vector<uint8_t> samples = McuSamples(picture, mx, my, 8 * h, 8 * v);
                alignas(16) int16_t luma[256], cb[64], cr[64];
                const EncoderMcu mcu{samples.data(), 24 * h, {luma, cb, cr, nullptr}};
                ASSERT_EQ(ctx->encoderMcuConverter(ctx, &mcu), kJpegOk);
                for (int b = 0; b < h * v + 2; ++b) {
                    const int comp = b < h * v ? 0 : b - h * v + 1;
                    int16_t* block = comp == 0 ? luma + 64 * b : (comp == 1 ? cb : cr);
                    forward(block, ctx->encoderQuantTable[comp]);
                    const int bx = comp == 0 ? mx * h + b % h : mx, by = comp == 0 ? my * v + b / h : my;
                    mismatches += !std::equal(block, block + 64, encoded.coefficients.planes[comp].Block(bx, by));
                }
            }
        EXPECT_EQ(mismatches, 0);
    }
}

// One component and samplings the kernel rows do not take: the plain
// converters over constant and ramp MCUs; four components get none.
TEST(EncoderDirection, PlainConverters) {
    Decoder grey(jpegoracle::ReadFile(Fixture("grey.jpg")));
    SelectEncoderMcuConverter(grey.ctx);
    ASSERT_EQ(grey.ctx->encoderMcuConverter, EncoderLevelShiftMcu1);
    std::vector<uint8_t> samples(16 * 8);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i);
    int16_t block[64];
    const EncoderMcu one{samples.data(), 16, {block}};
    ASSERT_EQ(grey.ctx->encoderMcuConverter(grey.ctx, &one), kJpegOk);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 16 * (i / 8) + i % 8 - 128);

    Decoder s411(jpegoracle::ReadFile(Fixture("s411.jpg")));
    SelectEncoderMcuConverter(s411.ctx);
    ASSERT_EQ(s411.ctx->encoderMcuConverter, EncoderConvertMcu3);
    // 32 x 8 pixels: channel 0 a ramp along x, channels 1 and 2 constant.
    std::vector<uint8_t> rgb(32 * 8 * 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = &rgb[(size_t(y) * 32 + x) * 3];
            p[0] = static_cast<uint8_t>(4 * x);
            p[1] = 200;
            p[2] = static_cast<uint8_t>(x % 4 == 0 ? 10 : 14);
        }
    int16_t luma[256], cb[64], cr[64];
    const EncoderMcu three{rgb.data(), 96, {luma, cb, cr}};
    ASSERT_EQ(s411.ctx->encoderMcuConverter(s411.ctx, &three), kJpegOk);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(luma[i], 4 * (8 * (i / 64) + i % 8) - 128) << i;
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(cb[i], 200 - 128);
        EXPECT_EQ(cr[i], (10 + 14 * 3) / 4 - 128);
    }
    Decoder cmyk(jpegoracle::ReadFile(Fixture("cmyk.jpg")));
    SelectEncoderMcuConverter(cmyk.ctx);
    EXPECT_EQ(cmyk.ctx->encoderMcuConverter, nullptr);
}

}  // namespace
