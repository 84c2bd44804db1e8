// Rows 17 and 19 to 22 of every column reconstruct lossless JPEG streams
// written by dcmtk's dcmcjpeg sample for sample equal to the source image.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "jpegkernels/kernel_rows.h"
#include "tests/jpegkernels/jpeg_test_stream.h"

namespace jpegkernels::testing {
namespace {

struct Fixture {
    std::string codestream, source;
    int columns = 0, rows = 0, components = 0, bits = 0;
};

std::vector<Fixture> Manifest() {
    std::vector<Fixture> fixtures;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/manifest.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Fixture f;
        if (fields >> f.codestream >> f.source >> f.columns >> f.rows >> f.components >> f.bits) fixtures.push_back(f);
    }
    return fixtures;
}

std::vector<uint16_t> SourceSamples(const Fixture& f) {
    const std::vector<uint8_t> raw = ReadFileBytes(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/" + f.source);
    std::vector<uint16_t> samples;
    if (f.bits <= 8) {
        samples.assign(raw.begin(), raw.end());
    } else {
        for (size_t i = 0; i + 1 < raw.size(); i += 2) samples.push_back(static_cast<uint16_t>(raw[i] | raw[i + 1] << 8));
    }
    return samples;
}

TEST(LosslessReference, EveryColumnReconstructsTheSourceImage) {
    const auto fixtures = Manifest();
    ASSERT_GE(fixtures.size(), 30u);
    std::set<int> predictors, precisions, pointTransforms, componentCounts;
    bool around32768 = false;
    for (const Fixture& f : fixtures) {
        SCOPED_TRACE(f.codestream);
        JpegStream stream;
        std::string error;
        ASSERT_TRUE(ParseJpeg(ReadFileBytes(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/" + f.codestream),
                              stream, error))
            << error;
        ASSERT_EQ(stream.frameMarker, 0xC3);
        ASSERT_EQ(stream.precision, f.bits);
        ASSERT_EQ(stream.width, f.columns);
        ASSERT_EQ(stream.height, f.rows);
        ASSERT_EQ(static_cast<int>(stream.scanComponents.size()), f.components);
        predictors.insert(stream.ss);
        precisions.insert(stream.precision);
        pointTransforms.insert(stream.al);
        componentCounts.insert(f.components);

        std::vector<uint16_t> expected = SourceSamples(f);
        ASSERT_EQ(expected.size(), static_cast<size_t>(f.columns) * f.rows * f.components);
        for (uint16_t& v : expected) {
            around32768 |= f.bits == 16 && v >= 32768 && v < 33000;
            v = static_cast<uint16_t>(v >> stream.al);
        }
        for (int column = 0; column < kProcessorColumns; ++column) {
            for (bool oneAtATime : {false, true}) {
                SCOPED_TRACE(::testing::Message() << "column " << column << (oneAtATime ? " row 19" : " row 20"));
                std::vector<uint16_t> samples;
                ASSERT_EQ(DecodeLosslessSamples(stream, column, oneAtATime, samples), kKernelOk);
                ASSERT_EQ(samples, expected);
            }
        }
    }
    EXPECT_EQ(predictors, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(precisions, (std::set<int>{8, 12, 16}));
    EXPECT_EQ(pointTransforms, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(componentCounts, (std::set<int>{1, 3}));
    EXPECT_TRUE(around32768);
}

}  // namespace
}  // namespace jpegkernels::testing
