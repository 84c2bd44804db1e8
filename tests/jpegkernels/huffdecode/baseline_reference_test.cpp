// Rows 14 to 18 of every column decode the coefficients of real baseline
// and extended Huffman JPEG files (written by cjpeg) exactly as libjpeg's
// own jpeg_read_coefficients gives them.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <set>

#include <jpeglib.h>

#include "jpegkernels/kernel_rows.h"
#include "tests/jpegkernels/jpeg_test_stream.h"

namespace jpegkernels::testing {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnLibraryError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }

// libjpeg's coefficients of every component, within each component's own
// width and height in blocks.
struct Reference {
    std::vector<int> blocksWide, blocksHigh;
    std::vector<std::vector<int16_t>> coefficients;
};

bool ReadReference(const std::vector<uint8_t>& bytes, Reference& reference) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnLibraryError;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&info);
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const int wide = static_cast<int>(component.width_in_blocks);
        const int high = static_cast<int>(component.height_in_blocks);
        reference.blocksWide.push_back(wide);
        reference.blocksHigh.push_back(high);
        std::vector<int16_t> values;
        for (int by = 0; by < high; ++by) {
            JBLOCKARRAY row = info.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&info), arrays[c],
                                                           static_cast<JDIMENSION>(by), 1, FALSE);
            for (int bx = 0; bx < wide; ++bx) values.insert(values.end(), row[0][bx], row[0][bx] + DCTSIZE2);
        }
        reference.coefficients.push_back(std::move(values));
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

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
            ASSERT_EQ(image.planes.size(), reference.coefficients.size());
            for (size_t c = 0; c < image.planes.size(); ++c) {
                const CoefficientImage::Plane& plane = image.planes[c];
                ASSERT_GE(plane.blocksWide, reference.blocksWide[c]);
                ASSERT_GE(plane.blocksHigh, reference.blocksHigh[c]);
                for (int by = 0; by < reference.blocksHigh[c]; ++by) {
                    for (int bx = 0; bx < reference.blocksWide[c]; ++bx) {
                        const int16_t* expected =
                            reference.coefficients[c].data() + 64 * (static_cast<size_t>(by) * reference.blocksWide[c] + bx);
                        ASSERT_TRUE(std::equal(expected, expected + 64, plane.Block(bx, by)))
                            << "component " << c << " block " << bx << "," << by;
                    }
                }
                // The MCU padding blocks agree across the columns as well.
                EXPECT_EQ(plane.coefficients, images[0].planes[c].coefficients);
            }
        }
    }
    EXPECT_EQ(componentCounts, (std::set<int>{1, 3}));
    EXPECT_GE(withRestarts, 4);
    EXPECT_GE(extended, 1);
}

}  // namespace
}  // namespace jpegkernels::testing
