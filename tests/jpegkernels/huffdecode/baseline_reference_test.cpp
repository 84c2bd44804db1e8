// Rows 14 to 18 of every column decode the coefficients of real baseline
// and extended Huffman JPEG files (written by cjpeg) exactly as libjpeg's
// own jpeg_read_coefficients gives them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "jpegkernels/kernel_rows.h"
#include "tests/jpegkernels/jpeg_test_stream.h"
#include "tests/jpegkernels/libjpeg_reference.h"

namespace jpegkernels::testing {
namespace {

std::vector<std::string> BaselineFixtures() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/jpegkernels/baseline")) {
        if (entry.path().extension() == ".jpg") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(BaselineReference, EveryColumnDecodesLibjpegsCoefficients) {
    const auto files = BaselineFixtures();
    ASSERT_GE(files.size(), 10u);
    std::set<int> componentCounts;
    int withRestarts = 0, extended = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        JpegStream stream;
        std::string error;
        ASSERT_TRUE(ParseJpeg(ReadFileBytes(file), stream, error)) << error;
        Reference reference;
        ASSERT_TRUE(ReadReference(stream.bytes, reference));
        componentCounts.insert(static_cast<int>(stream.components.size()));
        withRestarts += stream.restartInterval > 0;
        extended += stream.frameMarker == 0xC1;

        std::vector<CoefficientImage> images(kProcessorColumns);
        for (int column = 0; column < kProcessorColumns; ++column) {
            SCOPED_TRACE(column);
            ASSERT_EQ(DecodeCoefficients(stream, column, images[static_cast<size_t>(column)]), kKernelOk);
            const CoefficientImage& image = images[static_cast<size_t>(column)];
            ASSERT_TRUE(MatchesReference(image, reference));
            // The MCU padding blocks agree across the columns as well.
            for (size_t c = 0; c < image.planes.size(); ++c) {
                EXPECT_EQ(image.planes[c].coefficients, images[0].planes[c].coefficients);
            }
        }
    }
    EXPECT_EQ(componentCounts, (std::set<int>{1, 3}));
    EXPECT_GE(withRestarts, 4);
    EXPECT_GE(extended, 1);
}

}  // namespace
}  // namespace jpegkernels::testing
