// Lossless round trip: pictures of 2 to 16 bits encoded by the rows of
// every column (differences, category counts, optimal tables, row or
// difference coding, restarts, flush), wrapped in a DICOM file and decoded
// by dcmtk's dcmdjpeg, which must give back the source samples exactly
// (less the point transform's low bits).
#include <gtest/gtest.h>

#include <random>

#include "jpegkernels/kernel_rows.h"
#include "tests/jpegkernels/encode_test_stream.h"

namespace jpegkernels::testing {
namespace {

std::vector<uint16_t> Samples(const LosslessOptions& o, std::mt19937& rng) {
    std::vector<uint16_t> s(static_cast<size_t>(o.width) * o.height * o.components);
    const int32_t top = (1 << o.precision) - 1;
    for (int y = 0; y < o.height; ++y) {
        for (int x = 0; x < o.width; ++x) {
            for (int c = 0; c < o.components; ++c) {
                // 16 bits: around 32768; otherwise a ramp with noise; now and
                // then the extremes.
                int32_t v = o.precision == 16 ? 32768 + (x - y) * 97 + static_cast<int32_t>(rng() % 512) - 256
                                              : (x * 5 + y * 3 + c * 40) * top / 255 + static_cast<int32_t>(rng() % 7) - 3;
                if (rng() % 53 == 0) v = rng() % 2 ? 0 : top;
                s[(static_cast<size_t>(y) * o.width + x) * o.components + c] = static_cast<uint16_t>(std::clamp(v, 0, top));
            }
        }
    }
    return s;
}

TEST(LosslessRoundTrip, DcmtkDecodesTheSourceSamples) {
    std::mt19937 rng(41);
    int cases = 0;
    for (int precision : {2, 8, 12, 16}) {
        for (int predictor = 1; predictor <= 7; ++predictor) {
            for (int pt = 0; pt <= 2 && pt < precision; ++pt) {
                for (int components : {1, 3}) {
                    LosslessOptions o;
                    o.width = 23 + cases % 5;
                    o.height = 11;
                    o.components = components;
                    o.precision = precision;
                    o.predictor = predictor;
                    o.pointTransform = pt;
                    o.restartRows = cases % 3 == 0 ? 4 : 0;
                    o.oneAtATime = cases % 2 == 1;
                    ++cases;
                    SCOPED_TRACE("P " + std::to_string(precision) + " predictor " + std::to_string(predictor) + " Pt " +
                                 std::to_string(pt) + " components " + std::to_string(components));
                    const std::vector<uint16_t> source = Samples(o, rng);
                    std::vector<uint8_t> stream;
                    ASSERT_EQ(EncodeLossless(o, source, 0, stream), kKernelOk);
                    // Every column writes the same stream.
                    for (int k = 1; k < kProcessorColumns; ++k) {
                        std::vector<uint8_t> other;
                        ASSERT_EQ(EncodeLossless(o, source, k, other), kKernelOk);
                        ASSERT_EQ(other, stream) << "column " << k;
                    }
                    std::vector<uint16_t> decoded;
                    std::string error;
                    ASSERT_TRUE(DecodeWithDcmtk(o, stream, decoded, error)) << error;
                    for (size_t i = 0; i < source.size(); ++i) {
                        ASSERT_EQ(decoded[i], source[i] >> pt << pt) << "sample " << i;
                    }
                }
            }
        }
    }
    EXPECT_EQ(cases, 2 * 7 * (2 + 3 + 3 + 3));
}

}  // namespace
}  // namespace jpegkernels::testing
