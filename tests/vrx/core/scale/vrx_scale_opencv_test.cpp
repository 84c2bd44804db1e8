// The render chain's interpolating and area scalers against OpenCV's
// cv2.resize (INTER_LINEAR, INTER_AREA) on the images of
// tests/data/vrx/scale/make_opencv_fixtures.py.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/platform/fake_cpuid.h"
#include "tests/vrx/core/operation/pixel_chain.h"
#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "vrx/core/scale/vrx_scalelifastby.h"
#include "vrx/core/scale/vrx_scaleppfastby.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

struct Case {
    uint32_t mode, bits, channels, w0, h0, w, h;
    std::vector<uint8_t> source, opencv;
};

uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }

std::vector<Case> load_cases() {
    std::ifstream in(TEST_DATA_DIR "/vrx/scale/opencv_resize.bin", std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    std::vector<Case> cases;
    if (data.size() < 12 || std::memcmp(data.data(), "VRXRSZ01", 8) != 0) return cases;
    size_t at = 12;
    for (uint32_t k = 0, n = u32(data.data() + 8); k < n && at + 28 <= data.size(); ++k) {
        Case c;
        uint32_t* fields[] = {&c.mode, &c.bits, &c.channels, &c.w0, &c.h0, &c.w, &c.h};
        for (uint32_t* f : fields) *f = u32(data.data() + (at += 4) - 4);
        const size_t unit = size_t{c.bits / 8} * c.channels;
        const size_t a = unit * c.w0 * c.h0, b = unit * c.w * c.h;
        if (at + a + b > data.size()) break;
        c.source.assign(data.begin() + at, data.begin() + at + a);
        c.opencv.assign(data.begin() + at + a, data.begin() + at + a + b);
        at += a + b;
        cases.push_back(std::move(c));
    }
    return cases;
}

int sample(const std::vector<uint8_t>& bytes, size_t i, uint32_t bits) {
    return bits == 8 ? bytes[i] : bytes[2 * i] | bytes[2 * i + 1] << 8;
}

// 8-bit linear interpolation within 1 of INTER_LINEAR, 16-bit within 2 (on
// images whose neighbours differ by at most 4096); area scaling within 1 of
// INTER_AREA. Both front ends, the area one with and without SSE2.
TEST(ScaleOpenCV, WithinALevelOfResize) {
    const std::vector<Case> cases = load_cases();
    ASSERT_EQ(cases.size(), 48u);
    for (const Case& c : cases)
        for (bool sse2 : {true, false}) {
            if (c.mode == 0 && !sse2) continue;
            SCOPED_TRACE(testing::Message()
                         << (c.mode == 0 ? "linear " : "area ") << c.w0 << "x" << c.h0 << " -> "
                         << c.w << "x" << c.h << ", " << c.bits << " bits x " << c.channels
                         << (sse2 ? "" : ", no SSE2"));
            platform::testing::FakeCpuid cpu;
            cpu.Set(0, platform::CpuidLeaf{1, 0, 0, 0});
            cpu.Set(1, platform::CpuidLeaf{0, 0, 0, sse2 ? 1u << 26 : 0u});
            const Format f = image_format(c.w0, c.h0, static_cast<uint16_t>(c.bits),
                                          static_cast<uint16_t>(c.channels));
            VRX_DefaultManager m;
            VRX_Engine* source = read_memory(m, f, c.source);
            VRX_Engine* last =
                c.mode == 0 ? VRX_ScaleLIFastBy<VRX_FixedReal12>(&m).engine(source, c.w, c.h)
                            : VRX_ScalePPFastBy<VRX_FixedReal12>(&m).engine(source, c.w, c.h);
            std::vector<uint8_t> out;
            ASSERT_TRUE(take_lines(last, out));
            ASSERT_EQ(out.size(), c.opencv.size());
            const int tolerance = c.mode == 0 && c.bits == 16 ? 2 : 1;
            int worst = 0;
            for (size_t i = 0; i < out.size() * 8 / c.bits; ++i)
                worst =
                    std::max(worst, std::abs(sample(out, i, c.bits) - sample(c.opencv, i, c.bits)));
            EXPECT_LE(worst, tolerance);
        }
}

}  // namespace
