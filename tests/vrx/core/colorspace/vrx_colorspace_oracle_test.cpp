// Colour-space conversion against independent tools (fixtures made by
// tests/data/vrx/colour/colour_oracles.py): YCbCr and RGB against OpenCV's
// YCrCb conversions and against pydicom's convert_color_space on a YBR_FULL_422
// file decoded by the DICOM reader; RGB and HSL against OpenCV's float HLS
// conversions. Every sample within 1 (hue on its circle).
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "tests/vrx/core/colorspace/colour_test_support.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/core/colorspace/vrx_colorspace.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

namespace {

using namespace vrx_colour_test;
using C = VRX_ColorType;

// The 9 x 9 x 9 grid of the oracle script, first sample slowest.
std::vector<uint32_t> grid_pixels() {
    std::vector<uint32_t> px;
    const uint32_t v[9] = {0, 32, 64, 96, 128, 160, 192, 224, 255};
    for (uint32_t a : v)
        for (uint32_t b : v)
            for (uint32_t c : v) px.insert(px.end(), {a, b, c});
    return px;
}

TEST(ColorSpaceOracle, OpenCvYCrCbAndHls) {
    std::map<std::string, std::vector<uint32_t>> want;
    for (const auto& row : read_fixture("opencv_colour.txt")) want[row[0]] = hex_samples(row[1], 8);
    ASSERT_EQ(want.size(), 4u);
    const std::vector<uint32_t> px = grid_pixels();
    struct Case {
        const char* name;
        const C* source;
        const C* target;
        bool hue_first;  // channel 0 is a hue: distances taken around 255
    } cases[] = {
        {"rgb2ycbcr", C::s_rgb(), C::ycbcr(), false},
        {"ycbcr2rgb", C::ycbcr(), C::s_rgb(), false},
        {"rgb2hsl", C::s_rgb(), C::hsl(), true},
        {"hsl2rgb", C::hsl(), C::s_rgb(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vrx_test::TestManager manager;
        const std::vector<uint32_t> got =
            run_stage(manager, line_format(px.size(), 8, 3, c.source), px,
                      [&](VRX_Engine* e) { return VRX_ColorSpace(&manager).engine(e, c.target); });
        const std::vector<uint32_t>& ref = want[c.name];
        ASSERT_EQ(got.size(), ref.size());
        size_t wrong = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            uint32_t d = got[i] > ref[i] ? got[i] - ref[i] : ref[i] - got[i];
            if (c.hue_first && i % 3 == 0) d = std::min(d % 255, 255 - d % 255);
            if (d > 1) {
                ++wrong;
                ADD_FAILURE() << "pixel " << i / 3 << " channel " << i % 3 << ": " << got[i]
                              << " for " << ref[i];
            }
            if (wrong > 5) break;
        }
    }
}

TEST(ColorSpaceOracle, PydicomYbrFull422) {
    const std::string path = dicomtest::pydicom_file("SC_ybr_full_422_uncompressed.dcm");
    if (!dicomtest::file_exists(path)) GTEST_SKIP() << "pydicom's test files are not installed";
    std::map<std::array<int, 3>, std::array<int, 3>> rgb_of;
    for (const auto& row : read_fixture("pydicom_ybr.txt"))
        rgb_of[{std::stoi(row[0]), std::stoi(row[1]), std::stoi(row[2])}] = {
            std::stoi(row[3]), std::stoi(row[4]), std::stoi(row[5])};
    ASSERT_GT(rgb_of.size(), 10u);

    // The frame as the reader gives it, and through the conversion to RGB.
    std::vector<uint8_t> ybr, rgb;
    for (bool convert : {false, true}) {
        vrx_test::TestManager manager;
        VRX_InputStorage* file = VRX_FileInputStorage::create(&manager, path.c_str());
        ASSERT_NE(file, nullptr);
        VRX_Engine* frame = VRX_ReadDICOM(&manager).engine(file, 0);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->header()->color_type(), C::ycbcr());
        VRX_Engine* last = convert ? VRX_ColorSpace(&manager).engine(frame, C::s_rgb()) : frame;
        ASSERT_TRUE(write_memory(manager, last, convert ? rgb : ybr));
        file->destroy();
    }
    ASSERT_EQ(ybr.size(), 100u * 100u * 3u);
    ASSERT_EQ(rgb.size(), ybr.size());
    size_t wrong = 0;
    for (size_t p = 0; p < ybr.size() / 3 && wrong < 5; ++p) {
        const auto it = rgb_of.find({ybr[3 * p], ybr[3 * p + 1], ybr[3 * p + 2]});
        ASSERT_NE(it, rgb_of.end()) << "pixel " << p << " not in pydicom's frame";
        for (int c = 0; c < 3; ++c) {
            const int d = int(rgb[3 * p + c]) - int(it->second[c]);
            if (d > 1 || d < -1) {
                ++wrong;
                ADD_FAILURE() << "pixel " << p << " channel " << c << ": " << int(rgb[3 * p + c])
                              << " for " << it->second[c];
            }
        }
    }
}

}  // namespace
