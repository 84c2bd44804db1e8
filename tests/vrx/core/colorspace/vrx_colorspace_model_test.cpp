// Colour-space conversion against the numpy model (colour_model.py): every
// source and target pair of the twelve colour types at 8 bits and a sampled
// set at 16 bits, on the corners of the cube, points near the grid and
// random pixels; and the one-bit plans that only complement or relabel.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/vrx/core/colorspace/colour_test_support.h"
#include "vrx/core/colorspace/vrx_colorspace.h"

namespace {

using namespace vrx_colour_test;

const char* const kTypes[] = {"gray", "gray_reverse", "lstar",   "s_rgb", "adobe_rgb", "ycbcr",
                              "hsl",  "icc_lab",      "itu_lab", "xyz",   "cmy",       "cmyk"};

int type_index(const std::string& name) {
    for (int i = 0; i < 12; ++i)
        if (name == kTypes[i]) return i;
    return -1;
}

// The model's pair_pixels: every value of a one-channel 8-bit source; else
// the corners, 8 pixels near grid points and 24 random ones.
std::vector<uint32_t> pair_pixels(uint16_t bits, int si, int ti, uint16_t n) {
    std::vector<uint32_t> px;
    const uint32_t max = (1u << bits) - 1;
    if (n == 1 && bits == 8) {
        for (uint32_t v = 0; v < 256; ++v) px.push_back(v);
        return px;
    }
    XorShift rng(0x9E3779B9u ^ (uint32_t{bits} << 16) ^ (uint32_t(si) << 8) ^ uint32_t(ti));
    for (uint32_t k = 0; k < (1u << n); ++k)
        for (uint16_t c = 0; c < n; ++c) px.push_back((k >> c) & 1 ? max : 0);
    for (int p = 0; p < 8 * n; ++p)
        px.push_back(static_cast<uint32_t>(std::floor(double(rng.below(33) * max) / 32 + 0.5)));
    for (int p = 0; p < 24 * n; ++p) px.push_back(rng.below(max + 1));
    return px;
}

TEST(ColorSpaceModel, EveryPairMatchesTheModel) {
    const auto rows = read_fixture("colour_pairs.txt");
    ASSERT_EQ(rows.size(), 132u + 22u);
    for (const auto& row : rows) {
        const uint16_t bits = static_cast<uint16_t>(std::stoi(row[0]));
        const VRX_ColorType* source = color_type_named(row[1]);
        const VRX_ColorType* target = color_type_named(row[2]);
        SCOPED_TRACE(row[0] + " bits " + row[1] + " to " + row[2]);
        const uint16_t n = source->channels();
        const std::vector<uint32_t> px =
            pair_pixels(bits, type_index(row[1]), type_index(row[2]), n);
        vrx_test::TestManager manager;
        Output header;
        const std::vector<uint32_t> got = run_stage(
            manager, line_format(px.size(), bits, n, source), px,
            [&](VRX_Engine* e) { return VRX_ColorSpace(&manager).engine(e, target); }, &header);
        EXPECT_EQ(header.color, target);
        EXPECT_EQ(header.channels, target->channels());
        EXPECT_EQ(header.bits, bits);
        const std::vector<uint32_t> want = hex_samples(row[3], bits);
        const long at = first_difference(got, want, 1);
        EXPECT_EQ(at, -1) << "sample " << at << ": "
                          << (at >= 0 && size_t(at) < got.size() ? got[at] : 0) << " for "
                          << (at >= 0 ? want[at] : 0);
        EXPECT_TRUE(manager.execute());
    }
}

}  // namespace
