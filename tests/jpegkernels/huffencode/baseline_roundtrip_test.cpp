// Baseline round trip: synthetic pictures encoded by the rows of every
// column (colour conversion or level shift, reciprocal tables, forward DCT,
// symbol counts, optimal tables, block coding with restarts and flush),
// read back by libjpeg's jpeg_read_coefficients, which must give exactly
// row 7's coefficients.
#include <gtest/gtest.h>

#include "jpegkernels/kernel_rows.h"
#include "tests/jpegkernels/encode_test_stream.h"
#include "tests/jpegkernels/libjpeg_reference.h"

namespace jpegkernels::testing {
namespace {

// The picture libjpeg decodes from the stream (RGB for a converted one),
// as the mean absolute difference from the source per sample.
double MeanDifference(const std::vector<uint8_t>& jpeg, const RgbPicture& source, bool convert) {
    double sum = 1e9 * static_cast<double>(source.samples.size());
    WithDecompressor(jpeg, [&](jpeg_decompress_struct& info) {
        info.out_color_space = convert ? JCS_RGB : JCS_YCbCr;  // YCbCr: the channels as stored
        info.dct_method = JDCT_ISLOW;
        jpeg_start_decompress(&info);
        std::vector<uint8_t> row(static_cast<size_t>(info.output_width) * 3);
        sum = 0;
        for (size_t y = 0; info.output_scanline < info.output_height; ++y) {
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&info, rows, 1);
            for (size_t i = 0; i < row.size(); ++i) sum += std::abs(row[i] - source.samples[y * row.size() + i]);
        }
    });
    return sum / static_cast<double>(source.samples.size());
}

struct Case {
    int width, height;
    Sampling sampling;
    bool convert;
    int quality, restart;
};

TEST(BaselineRoundTrip, LibjpegReadsRowSevensCoefficients) {
    const Case cases[] = {
        {37, 29, Sampling::k420, true, 75, 0},  {64, 48, Sampling::k444, true, 90, 3},
        {50, 17, Sampling::k422, false, 50, 5}, {16, 16, Sampling::k420, false, 100, 1},
        {123, 77, Sampling::k420, true, 30, 7}, {9, 40, Sampling::k444, false, 95, 0},
        {200, 120, Sampling::k422, true, 5, 2}, {96, 64, Sampling::k420, true, 98, 0},
    };
    uint32_t seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " quality " + std::to_string(c.quality));
        const RgbPicture picture = SyntheticPicture(c.width, c.height, seed++);
        BaselineOptions options;
        options.sampling = c.sampling;
        options.convert = c.convert;
        options.quality = c.quality;
        options.restartInterval = c.restart;
        std::vector<BaselineResult> results;
        for (int k = 0; k < kProcessorColumns; ++k) {
            results.push_back(EncodeBaseline(picture, options, k));
            const BaselineResult& r = results.back();
            ASSERT_EQ(r.status, kKernelOk) << "column " << k;
            Reference reference;
            ASSERT_TRUE(ReadReference(r.jpeg, reference)) << "column " << k;
            ASSERT_TRUE(MatchesReference(r.coefficients, reference)) << "column " << k;
            // The decoded picture is the source, up to the loss of the quality
            // and of the subsampling (this picture is noisy and hard-edged).
            EXPECT_LT(MeanDifference(r.jpeg, picture, c.convert), c.quality >= 50 ? 12.0 : 20.0) << "column " << k;
        }
        // The processor columns share their arithmetic, so their streams
        // are one; the generic column differs by its rounding.
        for (int k = 2; k < kProcessorColumns; ++k) EXPECT_EQ(results[static_cast<size_t>(k)].jpeg, results[1].jpeg) << k;
        // A buffer that ends inside the scan: -62 at the same byte in every
        // column of a group, the same bytes before it.
        const size_t full = results[1].scan.size();
        for (size_t capacity : {size_t{1}, size_t{23}, full / 3, full / 2 + 1, full - 1}) {
            options.capacity = static_cast<int32_t>(capacity);
            std::vector<BaselineResult> cut;
            for (int k = 0; k < kProcessorColumns; ++k) cut.push_back(EncodeBaseline(picture, options, k));
            for (int k = 0; k < kProcessorColumns; ++k) {
                const BaselineResult& r = cut[static_cast<size_t>(k)];
                const BaselineResult& whole = results[static_cast<size_t>(k)];
                EXPECT_EQ(r.status, capacity < whole.scan.size() ? kKernelDataEnded : kKernelOk) << "column " << k << " capacity " << capacity;
                EXPECT_TRUE(std::equal(r.scan.begin(), r.scan.end(), whole.scan.begin()));
                if (k > 1) {
                    EXPECT_EQ(r.scan, cut[1].scan) << k;
                }
            }
        }
    }
}

}  // namespace
}  // namespace jpegkernels::testing
