// The decoder against libjpeg-turbo on cjpeg's and Pillow's streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "jpegdec/jpeg_context.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegdec/jpegdec_test_support.h"

namespace {

using namespace jpegdectest;
using jpegoracle::Decode;
using jpegoracle::MaxDifference;

const char* const kFixtures[] = {
    "grey.jpg", "grey_q95_opt.jpg", "grey_1x1.jpg", "grey_4097x3.jpg", "s444.jpg", "s422.jpg",
    "s440.jpg", "s420.jpg", "s411.jpg", "s422_mixed.jpg", "s420_17x9.jpg", "s420_1x1.jpg",
    "s420_4097x3.jpg", "s420_restart.jpg", "s444_restart1_opt.jpg", "grey_restart_rows.jpg",
    "prog_grey.jpg", "prog_s420.jpg", "prog_s444.jpg", "prog_s422_restart.jpg",
    "prog_s420_17x9.jpg", "prog_script.jpg", "separate_scans.jpg", "separate_scans_opt.jpg",
    "separate_scans_restart.jpg", "prog_s422_mixed.jpg", "cmyk.jpg", "s440_restart1.jpg",
    "s422_restart3b.jpg", "s411_17x9_restart1b_opt.jpg", "prog_grey_restart1.jpg",
    "prog_s440_23x31_restart1b.jpg", "prog_s411_1x1.jpg"};

const char* const kKernelFixtures[] = {
    "c_q100_444_opt.jpg", "c_q30_411_r2b.jpg", "c_q50_420_r1.jpg",
    "c_q75_422_opt.jpg", "c_q90_444_r3b.jpg", "g_q100.jpg", "g_q40_opt.jpg",
    "g_q65_r2b.jpg", "g_q95_r1_opt.jpg"};  // the quality-5 streams are SOF1: refused

std::vector<std::string> AllStreams() {
    std::vector<std::string> paths;
    for (const char* f : kFixtures) paths.push_back(Fixture(f));
    for (const char* f : kKernelFixtures)
        paths.push_back(std::string(TEST_DATA_DIR) + "/jpegkernels/baseline/" + f);
    return paths;
}

TEST(JpegDecoderOracle, EveryStreamMatchesLibjpegWithinOne) {
    for (const std::string& path : AllStreams()) {
        SCOPED_TRACE(path);
        const Bytes jpeg = jpegoracle::ReadFile(path);
        ASSERT_FALSE(jpeg.empty());
        Decoder ours(jpeg);
        const jpegoracle::Image mine = ours.Run();
        const jpegoracle::Image ref = Decode(jpeg);
        ASSERT_TRUE(ref.ok);
        ASSERT_TRUE(mine.ok) << "header " << ours.header << " start " << ours.start << " rows "
                             << ours.Worst();
        EXPECT_EQ(ours.Worst(), 1);
        EXPECT_EQ(mine.width, ref.width);
        EXPECT_EQ(mine.height, ref.height);
        EXPECT_LE(MaxDifference(mine, ref), 1);
    }
}

// Grey, 4:4:4 and 4:2:0 frames at 1/2, 1/4 and 1/8. The output size is
// the frame size over the scale, rounded; libjpeg rounds up, so the area
// both cover is compared.
TEST(JpegDecoderOracle, ReducedScalesMatchLibjpegWithinOne) {
    const char* const streams[] = {"grey.jpg", "grey_4097x3.jpg", "s444.jpg", "s420.jpg",
                                   "s420_17x9.jpg", "s420_restart.jpg"};
    for (const char* name : streams)
        for (uint32_t scale : {2u, 4u, 8u}) {
            SCOPED_TRACE(std::string(name) + " 1/" + std::to_string(scale));
            const Bytes jpeg = jpegoracle::ReadFile(Fixture(name));
            Decoder ours(jpeg);
            const uint32_t w = JpegWidth(ours.ctx), h = JpegHeight(ours.ctx);
            const jpegoracle::Image mine = ours.Run(scale);
            ASSERT_TRUE(mine.ok) << ours.start;
            EXPECT_EQ(mine.width, std::max(1u, static_cast<uint32_t>(w / double(scale) + 0.5)));
            EXPECT_EQ(mine.height, std::max(1u, static_cast<uint32_t>(h / double(scale) + 0.5)));
            EXPECT_LE(MaxDifference(mine, Decode(jpeg, scale)), 1);
        }
}

// After the first row every scan is decoded: the kept coefficients are
// libjpeg's, block for block.
TEST(JpegDecoderOracle, ProgressiveCoefficientsEqualLibjpegs) {
    for (const char* name : {"prog_grey.jpg", "prog_s420.jpg", "prog_s444.jpg", "prog_s422_restart.jpg",
                             "prog_s420_17x9.jpg", "prog_script.jpg"}) {
        SCOPED_TRACE(name);
        const Bytes jpeg = jpegoracle::ReadFile(Fixture(name));
        const jpegoracle::Coefficients ref = jpegoracle::ReadCoefficients(jpeg);
        ASSERT_TRUE(ref.ok);
        Decoder ours(jpeg);
        ASSERT_GE(ours.header, 1);
        ASSERT_GE(StartDecompress(ours.ctx), 1);
        std::vector<uint8_t> row(size_t{JpegWidth(ours.ctx)} * JpegOutChannels(ours.ctx));
        ASSERT_EQ(ReadRows(ours.ctx, row.data()), 1);
        const JpegDecoderContext* ctx = ours.ctx;
        size_t mismatches = 0;
        for (uint32_t c = 0; c < ctx->componentCount; ++c) {
            const jpegoracle::Coefficients::Plane& plane = ref.planes[c];
            for (uint32_t by = 0; by < plane.blocksHigh; ++by)
                for (uint32_t bx = 0; bx < plane.blocksWide; ++bx) {
                    const int16_t* mine = ProgressiveBlock(ctx, c, bx, by);
                    const int16_t* theirs = plane.values.data() + (size_t{by} * plane.blocksWide + bx) * 64;
                    for (int i = 0; i < 64; ++i) mismatches += mine[kNaturalToZigzag.at[i]] != theirs[i];
                }
        }
        EXPECT_EQ(mismatches, 0u);
    }
}

// RGB asked of a YCbCr frame against libjpeg's RGB where no channel
// saturates: the converting drivers (4:4:4, 4:2:2, 4:2:0, within 3) and the
// converting row writer of the other samplings, whose planes each carry the
// transform's rounding before the conversion (within 4).
TEST(JpegDecoderOracle, RgbAskedOfYcbcrMatchesLibjpegs) {
    const std::pair<const char*, int> streams[] = {
        {"s444.jpg", 3}, {"s422.jpg", 3}, {"s420.jpg", 3}, {"s420_17x9.jpg", 3},
        {"s420_restart.jpg", 3}, {"s444_restart1_opt.jpg", 3}, {"s411.jpg", 4},
        {"s440.jpg", 4}, {"s422_mixed.jpg", 4}};
    for (const auto& [name, tolerance] : streams) {
        SCOPED_TRACE(name);
        const Bytes jpeg = jpegoracle::ReadFile(Fixture(name));
        Decoder ours(jpeg, kJpegColorRgb);
        EXPECT_EQ(JpegOutColorSpace(ours.ctx), kJpegColorRgb);
        EXPECT_EQ(JpegImageColorSpace(ours.ctx), kJpegColorYcbcr);
        const jpegoracle::Image mine = ours.Run();
        const jpegoracle::Image ref = Decode(jpeg, 1, true);
        ASSERT_TRUE(mine.ok && ref.ok);
        int worst = 0;
        for (uint32_t y = 0; y < ref.height; ++y)
            for (uint32_t x = 0; x < ref.width; ++x) {
                bool saturated = false;
                for (uint32_t c = 0; c < 3; ++c) saturated |= ref.at(x, y, c) == 0 || ref.at(x, y, c) == 255;
                for (uint32_t c = 0; c < 3 && !saturated; ++c)
                    worst = std::max(worst, std::abs(mine.at(x, y, c) - ref.at(x, y, c)));
            }
        EXPECT_LE(worst, tolerance);
    }
}

// Sequential streams decoded whole take the kernel path on every column:
// columns 1 to 5 give the same samples (also with the smallest input
// buffers), column 0 and the generic path are within 1 of them, and every
// column within 1 of libjpeg. Progressive streams stay on the generic path.
// No path gives a warning on any row.
TEST(JpegDecoderOracle, KernelPathColumnsAgreeWithTheGenericPath) {
    for (const std::string& path : AllStreams()) {
        SCOPED_TRACE(path);
        const Bytes jpeg = jpegoracle::ReadFile(path);
        const jpegoracle::Image ref = Decode(jpeg);
        Decoder generic(jpeg);
        generic.ctx->testGenericOnly = 1;
        const jpegoracle::Image plain = generic.Run();
        ASSERT_TRUE(plain.ok);
        EXPECT_EQ(generic.Worst(), 1);
        const bool progressive = jpegoracle::ReadHeaderInfo(jpeg).progressive;
        std::vector<jpegoracle::Image> columns;
        for (int k = 0; k < jpegkernels::kProcessorColumns; ++k) {
            PinnedColumn pinned(k);
            for (bool smallest : {false, true}) {
                Decoder d(jpeg);
                d.ctx->testSmallestBuffers = smallest;
                columns.push_back(d.Run());
                // Streams of one component per scan: each component's decoder.
                const JpegDecoderContext* decoder =
                    d.ctx->nonInterleaved ? d.ctx->nonInterleaved->children[0] : d.ctx;
                EXPECT_EQ(decoder->kernelPath, progressive ? 0u : 1u);
                EXPECT_EQ(d.Worst(), 1);
            }
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            ASSERT_TRUE(columns[i].ok);
            EXPECT_LE(MaxDifference(columns[i], ref), 1) << "column " << i / 2;
            EXPECT_LE(MaxDifference(columns[i], plain), 1) << "column " << i / 2;
            if (i >= 2) {
                EXPECT_TRUE(columns[i].pixels == columns.back().pixels) << "column " << i / 2;
            }
        }
        EXPECT_TRUE(columns[0].pixels == columns[1].pixels);
    }
}

}  // namespace
