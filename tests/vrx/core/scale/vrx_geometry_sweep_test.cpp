// Failing-allocation sweep over chains through every crop, nearest-neighbour,
// linear-interpolation and area creator: no step may crash or leak, and a job
// that lost an allocation never ends in success.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/platform/fake_cpuid.h"
#include "tests/vrx/core/memory/memory_chain.h"
#include "tests/vrx/core/qmrle/qmrle_support.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/crop/vrx_crop.h"
#include "vrx/core/scale/vrx_scalelifastby.h"
#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/core/scale/vrx_scaleppby.h"
#include "vrx/core/scale/vrx_scaleppfastby.h"
#include "vrx/core/scale/vrx_scaless.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;
using vrx_qmrle_test::qmrle_format;
using vrx_test::TestManager;

using Stages = std::function<VRX_Engine*(VRX_Manager&, VRX_Engine*)>;

struct Named {
    const char* name;
    std::function<bool(TestManager&)> chain;
};

// The image read from memory through a callback, the stages, and the output
// (a run-length stream or raw lines); false when the chain fails.
bool run(VRX_Manager& m, const Format& f, std::vector<uint8_t>& in, const Stages& stages,
         std::vector<uint8_t>& out) {
    VRX_Header header(&m);
    describe(header, f);
    const uint32_t size = static_cast<uint32_t>(in.size());
    vrx_test::Chunks chunks(in.data(), size, 40);
    VRX_Engine* source = VRX_ReadMemory(&m).engine(&header, in.data(), chunks.first_size(), nullptr,
                                                   vrx_test::Chunks::next, &chunks);
    VRX_Engine* last = stages(m, source);
    if (f.encode == VRX_EncodeType::qm_rle()) return vrx_qmrle_test::take_stream(m, last, out);
    return write_memory(m, last, out);
}

// A chain whose output must equal the output of a run without failures.
Named chain(const char* name, Format f, Stages stages) {
    std::vector<uint8_t> in;
    if (f.encode == VRX_EncodeType::qm_rle()) {
        std::vector<uint8_t> packed = vrx_test::numbered_bytes((f.width + 7) / 8 * f.height);
        in = vrx_qmrle_test::stream_of(vrx_qmrle_test::runs_of(packed, f.width, f.height));
    } else {
        in = vrx_test::numbered_bytes(line_bytes(f) * f.height);
    }
    std::vector<uint8_t> expected;
    {
        VRX_DefaultManager m;
        EXPECT_TRUE(run(m, f, in, stages, expected)) << name;
    }
    return {name, [=](TestManager& m) mutable {
                std::vector<uint8_t> out;
                return run(m, f, in, stages, out) && out == expected;
            }};
}

Stages crop_scale(uint32_t x, uint32_t y, uint32_t cw, uint32_t ch, uint32_t w, uint32_t h) {
    return [=](VRX_Manager& m, VRX_Engine* e) {
        return VRX_ScaleNN(&m).engine(VRX_Crop(&m).engine(e, x, y, cw, ch), w, h);
    };
}

// The render chain's two other scalers behind a crop; the fast area front end
// on a processor without SSE2 when `plain`.
Stages crop_scale_li(uint32_t w, uint32_t h) {
    return [=](VRX_Manager& m, VRX_Engine* e) {
        return VRX_ScaleLIFastBy<VRX_FixedReal12>(&m).engine(VRX_Crop(&m).engine(e, 1, 1, 11, 9), w,
                                                             h);
    };
}
Stages crop_scale_pp(uint32_t w, uint32_t h, bool plain = false) {
    return [=](VRX_Manager& m, VRX_Engine* e) {
        platform::testing::FakeCpuid cpu;
        cpu.Set(0, platform::CpuidLeaf{1, 0, 0, 0});
        cpu.Set(1, platform::CpuidLeaf{0, 0, 0, plain ? 0u : 1u << 26});
        return VRX_ScalePPFastBy<VRX_FixedReal12>(&m).engine(VRX_Crop(&m).engine(e, 1, 1, 11, 9), w,
                                                             h);
    };
}

std::vector<Named> chains() {
    return {
        chain("samples_general", image_format(13, 9, 8, 3), crop_scale(2, 1, 9, 7, 14, 5)),
        chain("samples_whole_factors", image_format(6, 5, 16), crop_scale(1, 0, 5, 5, 10, 15)),
        chain("samples_subsampled", image_format(12, 12, 16), crop_scale(0, 0, 12, 12, 4, 6)),
        chain("samples_shrunk", image_format(12, 12, 8), crop_scale(0, 0, 12, 12, 5, 7)),
        chain("bits_inside_a_byte", image_format(30, 6, 1), crop_scale(3, 1, 20, 4, 40, 9)),
        chain("bits_on_a_byte", image_format(30, 6, 1), crop_scale(8, 0, 20, 6, 7, 3)),
        chain("bits_general", image_format(30, 6, 1), crop_scale(8, 0, 20, 6, 27, 11)),
        chain("sub_sampler", image_format(9, 7, 8, 4),
              [](VRX_Manager& m, VRX_Engine* e) { return VRX_ScaleSS(&m).engine(e, 2, 3, 1, 0); }),
        chain("run_length_enlarged", qmrle_format(40, 9), crop_scale(3, 2, 30, 6, 70, 13)),
        chain("run_length_shrunk", qmrle_format(40, 9), crop_scale(0, 1, 40, 8, 17, 3)),
        chain("interpolated_larger", image_format(13, 10, 16, 3), crop_scale_li(25, 14)),
        chain("interpolated_smaller", image_format(13, 10, 8, 1), crop_scale_li(4, 5)),
        chain("interpolated_mixed", image_format(13, 10, 8, 4), crop_scale_li(20, 4)),
        chain("interpolated_few", image_format(13, 10, 8), crop_scale_li(3, 3)),
        chain("projected_fractional", image_format(13, 10, 8, 3), crop_scale_pp(4, 5)),
        chain("projected_fractional_plain", image_format(13, 10, 16), crop_scale_pp(4, 5, true)),
        chain("projected_larger", image_format(13, 10, 16, 2), crop_scale_pp(25, 14)),
        chain("projected_whole", image_format(13, 10, 8), crop_scale_pp(3, 3)),
        chain("projected_plain_double", image_format(13, 10, 8),
              [](VRX_Manager& m, VRX_Engine* e) {
                  return VRX_ScalePPBy<double>(&m).engine(e, 7, 21);
              }),
    };
}

class GeometrySweep : public ::testing::TestWithParam<Named> {};

TEST_P(GeometrySweep, NeverCrashesLeaksOrSucceedsAfterAFailure) {
    const uint64_t n =
        vrx_test::sweep_allocation_failures(GetParam().name, 20000, GetParam().chain);
    EXPECT_GT(n, 5u);
    EXPECT_LT(n, 20000u);
}

INSTANTIATE_TEST_SUITE_P(Chains, GeometrySweep, ::testing::ValuesIn(chains()),
                         [](const ::testing::TestParamInfo<Named>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
