#pragma once
// libjpeg's own view of a sequential JPEG stream, as the reference of the
// kernel tests: the quantised coefficients that jpeg_read_coefficients
// gives for every component.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tests/jpegkernels/jpeg_test_stream.h"

namespace jpegkernels::testing {

// Coefficients of every component within its own width and height in
// blocks, 64 natural-order values per block, blocks row by row.
struct Reference {
    std::vector<int> blocksWide, blocksHigh;
    std::vector<std::vector<int16_t>> coefficients;
};

namespace detail {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};
inline void OnLibraryError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
}  // namespace detail

// Runs use(info) on a decompressor over the stream, its header read; false
// when libjpeg refuses the stream.
template <class Use>
bool WithDecompressor(const std::vector<uint8_t>& bytes, Use use) {
    jpeg_decompress_struct info;
    detail::ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = detail::OnLibraryError;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    use(info);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// False when libjpeg refuses the stream.
inline bool ReadReference(const std::vector<uint8_t>& bytes, Reference& reference) {
    return WithDecompressor(bytes, [&](jpeg_decompress_struct& info) {
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
    });
}

// Every block libjpeg knows equals the image's block at the same place (the
// image may hold padding blocks beyond).
inline ::testing::AssertionResult MatchesReference(const CoefficientImage& image, const Reference& reference) {
    if (image.planes.size() != reference.coefficients.size()) {
        return ::testing::AssertionFailure() << image.planes.size() << " planes, libjpeg has "
                                             << reference.coefficients.size();
    }
    for (size_t c = 0; c < image.planes.size(); ++c) {
        const CoefficientImage::Plane& plane = image.planes[c];
        if (plane.blocksWide < reference.blocksWide[c] || plane.blocksHigh < reference.blocksHigh[c]) {
            return ::testing::AssertionFailure() << "component " << c << " has too few blocks";
        }
        for (int by = 0; by < reference.blocksHigh[c]; ++by) {
            for (int bx = 0; bx < reference.blocksWide[c]; ++bx) {
                const int16_t* expected =
                    reference.coefficients[c].data() + 64 * (static_cast<size_t>(by) * reference.blocksWide[c] + bx);
                if (!std::equal(expected, expected + 64, plane.Block(bx, by))) {
                    return ::testing::AssertionFailure() << "component " << c << " block " << bx << "," << by;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace jpegkernels::testing
