// Every refusal of the colour stages by code, function text and line, the
// one-bit plans, and the allocation-failure sweep over the planner.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/colorspace/colour_test_support.h"
#include "tests/vrx/core/convertdatatype/convert_test_support.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/colormatrix/vrx_colormatrix.h"
#include "vrx/core/colormatrix/vrx_colormatrix3x3_8xnbits.h"
#include "vrx/core/colormatrix/vrx_colormatrix8xnbits.h"
#include "vrx/core/colorspace/vrx_colorspace.h"
#include "vrx/core/colorspace/vrx_colorspaceconverter.h"
#include "vrx/core/colorspace/vrx_colorspaceconverterptop.h"
#include "vrx/core/colorspace/vrx_colorspaceconverterptopengine.h"
#include "vrx/core/colorspace/vrx_csutility.h"
#include "vrx/core/colorspace/vrx_csutilitymaker.h"
#include "vrx/core/dlut/vrx_dluttetrahedron.h"

namespace {

using namespace vrx_convert_test;
using C = VRX_ColorType;

const VRX_DataType* const u = VRX_DataType::u_integer();
const VRX_DataType* const s = VRX_DataType::s_integer();

// A 2 x 2 source of the given form.
VRX_Engine* source(VRX_Manager& m, uint16_t bits, uint16_t channels, const VRX_ColorType* color,
                   const VRX_DataType* type = u,
                   const VRX_EncodeType* encode = VRX_EncodeType::raw()) {
    Format f = image_format(2, 2, bits, channels, type, encode);
    f.color = color;
    return read_memory(m, f, zero_bytes());
}

VRX_Engine* rgb(VRX_Manager& m) { return source(m, 8, 3, C::s_rgb()); }

// A colour-matrix stage of a rows x 3 matrix through creator E.
template <class E = VRX_ColorMatrix>
VRX_Engine* matrix(VRX_Manager& m, VRX_Engine* src, uint32_t rows, bool fixed = true,
                   const VRX_ColorType* color = nullptr, size_t in_offsets = 0,
                   size_t out_offsets = 0) {
    VRX_Matrix<double> mat(&m);
    mat.resize(rows, 3);
    mat.fill(0.25);
    VRX_Vector<double> in(&m, in_offsets, 1.0), out(&m, out_offsets, 1.0);
    return E(&m).engine(src, mat, in_offsets ? &in : nullptr, out_offsets ? &out : nullptr, color,
                        fixed);
}

VRX_Engine* dlut(VRX_Manager& m, VRX_Engine* src, uint16_t bits, uint16_t outputs, uint16_t grid,
                 bool table = true, const VRX_ColorType* color = nullptr) {
    static const std::vector<uint8_t> bytes(65 * 65 * 16 * 2, 0);
    return VRX_DLutTetrahedron(&m).engine(src, bits, outputs, grid, 1,
                                          table ? bytes.data() : nullptr, color);
}

VRX_Engine* space(VRX_Manager& m, VRX_Engine* src, const VRX_ColorType* target) {
    return VRX_ColorSpace(&m).engine(src, target);
}

TEST(ColourRefusals, EveryStage) {
    const char* front = "VRX_ColorMatrix::engine()";
    const char* nxm = "VRX_ColorMatrix8xNbits::engine()";
    const char* three = "VRX_ColorMatrix3x3_8xNbits::engine()";
    const char* matrix_engine = "VRX_ColorMatrixEngine::initiate()";
    const char* dlut_front = "VRX_DLutTetrahedron::engine()";
    const char* dlut_engine = "VRX_DLutEngine::initiate()";
    const char* ptop = "VRX_ColorSpaceConverterPtoP::engine()";
    const char* ptop_engine = "VRX_ColorSpaceConverterPtoPEngine::initiate()";
    const char* cs = "VRX_ColorSpace::engine()";
    using Owner = VRX_SharedOwner<VRX_CsPointConverter<uint8_t>>;
    using PtoPEngine = VRX_ColorSpaceConverterPtoPEngine<uint8_t>;
    expect_refusals({
        // Colour matrices.
        {"matrix without a source", [](auto& m) { return matrix(m, nullptr, 3); }, 0x80800000,
         front, 52},
        {"matrix columns differ from the channels",
         [](auto& m) { return matrix(m, source(m, 8, 4, C::cmyk()), 3); }, 0x80800000, front, 61},
        {"any-shape creator without a source",
         [](auto& m) { return matrix<VRX_ColorMatrix8xNbits>(m, nullptr, 1); }, 0x80800000, nxm,
         83},
        {"3 x 3 creator without a source",
         [](auto& m) { return matrix<VRX_ColorMatrix3x3_8xNbits>(m, nullptr, 3); }, 0x80800000,
         three, 82},
        {"fixed point on signed samples",
         [](auto& m) { return matrix(m, source(m, 8, 3, C::s_rgb(), s), 1, true, C::gray()); },
         0x81000000, nxm, 136},
        {"fixed point on signed samples, 3 x 3",
         [](auto& m) { return matrix(m, source(m, 8, 3, C::s_rgb(), s), 3); }, 0x81000000, three,
         135},
        {"double on signed samples",
         [](auto& m) { return matrix(m, source(m, 8, 3, C::s_rgb(), s), 1, false, C::gray()); },
         0x81000000, nxm, 161},
        {"double on signed samples, 3 x 3",
         [](auto& m) { return matrix(m, source(m, 16, 3, C::s_rgb(), s), 3, false); }, 0x81000000,
         three, 160},
        {"32-bit integer samples",
         [](auto& m) { return matrix(m, source(m, 32, 3, C::s_rgb()), 3, false); }, 0x81000000,
         matrix_engine, 62},
        {"input offsets of the wrong length",
         [](auto& m) { return matrix(m, rgb(m), 3, true, nullptr, 2); }, 0x80800000, matrix_engine,
         80},
        {"output offsets of the wrong length",
         [](auto& m) { return matrix(m, rgb(m), 3, false, nullptr, 0, 4); }, 0x80800000,
         matrix_engine, 91},
        {"two rows as gray", [](auto& m) { return matrix(m, rgb(m), 2, true, C::gray()); },
         0x80800000, matrix_engine, 103},
        {"one row through the 3 x 3 creator",
         [](auto& m) { return matrix<VRX_ColorMatrix3x3_8xNbits>(m, rgb(m), 1, true, C::gray()); },
         0x80800000, matrix_engine, 103},
        // Direct lookup tables.
        {"table without a source", [](auto& m) { return dlut(m, nullptr, 8, 3, 33); }, 0x80800000,
         dlut_front, 52},
        {"32-bit source", [](auto& m) { return dlut(m, source(m, 32, 3, C::s_rgb()), 8, 3, 33); },
         0x81000000, dlut_front, 83},
        {"signed source", [](auto& m) { return dlut(m, source(m, 8, 3, C::s_rgb(), s), 8, 3, 33); },
         0x81000000, dlut_engine, 74},
        {"17 inputs", [](auto& m) { return dlut(m, source(m, 8, 17, C::unknown()), 8, 3, 2); },
         0x81000000, dlut_engine, 74},
        {"grid 66", [](auto& m) { return dlut(m, rgb(m), 8, 3, 66); }, 0x80800000, dlut_engine, 94},
        {"grid 1", [](auto& m) { return dlut(m, rgb(m), 8, 3, 1); }, 0x80800000, dlut_engine, 94},
        {"17 outputs", [](auto& m) { return dlut(m, rgb(m), 8, 17, 33); }, 0x80800000, dlut_engine,
         94},
        {"no outputs", [](auto& m) { return dlut(m, rgb(m), 8, 0, 33); }, 0x80800000, dlut_engine,
         94},
        {"12-bit table", [](auto& m) { return dlut(m, rgb(m), 12, 3, 33); }, 0x80800000,
         dlut_engine, 94},
        {"no table", [](auto& m) { return dlut(m, rgb(m), 8, 3, 33, false); }, 0x80800000,
         dlut_engine, 94},
        {"65^16 grid points, past 32 bits",
         [](auto& m) { return dlut(m, source(m, 8, 16, C::unknown()), 8, 1, 65); }, 0x80800000,
         dlut_engine, 94},
        {"two outputs as gray", [](auto& m) { return dlut(m, rgb(m), 8, 2, 33, true, C::gray()); },
         0x80800000, dlut_engine, 108},
        // Point-to-point.
        {"point stage without a source",
         [](auto& m) { return VRX_ColorSpaceConverterPtoP(&m).engine(nullptr, C::hsl()); },
         0x80800000, ptop, 59},
        {"point stage without a target",
         [](auto& m) { return VRX_ColorSpaceConverterPtoP(&m).engine(rgb(m), nullptr); },
         0x80800000, ptop, 59},
        {"point stage on 32-bit samples",
         [](auto& m) {
             return VRX_ColorSpaceConverterPtoP(&m).engine(source(m, 32, 3, C::s_rgb()), C::hsl());
         },
         0x81000000, ptop, 97},
        {"point stage from s_rgb to adobe_rgb",
         [](auto& m) { return VRX_ColorSpaceConverterPtoP(&m).engine(rgb(m), C::adobe_rgb()); },
         0x81000000, ptop, 89},
        {"8-bit point engine on 16-bit samples",
         [](auto& m) {
             return build_engine<PtoPEngine>(m, source(m, 16, 3, C::s_rgb()), Owner(), C::hsl());
         },
         0x81000000, ptop_engine, 173},
        {"point engine without a converter",
         [](auto& m) { return build_engine<PtoPEngine>(m, rgb(m), Owner(), C::hsl()); }, 0x80800000,
         ptop_engine, 179},
        // The planner.
        {"conversion without a source", [](auto& m) { return space(m, nullptr, C::s_rgb()); },
         0x80800000, cs, 46},
        {"conversion without a target", [](auto& m) { return space(m, rgb(m), nullptr); },
         0x80800000, cs, 46},
        {"source of colour type none",
         [](auto& m) { return space(m, source(m, 8, 3, C::none()), C::s_rgb()); }, 0x81000000, cs,
         64},
        {"target unknown", [](auto& m) { return space(m, rgb(m), C::unknown()); }, 0x81000000, cs,
         73},
        {"signed samples",
         [](auto& m) { return space(m, source(m, 8, 3, C::s_rgb(), s), C::ycbcr()); }, 0x81000000,
         cs, 98},
        {"32-bit samples",
         [](auto& m) { return space(m, source(m, 32, 3, C::s_rgb()), C::ycbcr()); }, 0x81000000, cs,
         98},
        {"palette", [](auto& m) { return space(m, read_with_palette(m), C::gray_reverse()); },
         0x81000000, cs, 98},
        {"run-length lines",
         [](auto& m) {
             return space(m, source(m, 1, 1, C::gray(), u, VRX_EncodeType::qm_rle()),
                          C::gray_reverse());
         },
         0x81000000, cs, 98},
        {"one bit to three channels",
         [](auto& m) { return space(m, source(m, 1, 1, C::gray()), C::s_rgb()); }, 0x81000000, cs,
         98},
        {"plan of an unknown kind",
         [](auto& m) {
             VRX_CsUtility plan(&m);
             plan.kind = 42;
             return VRX_ColorSpaceConverter(&m).engine(rgb(m), C::ycbcr(), plan);
         },
         0x81000000, cs, 110},
    });
    // A planner asked for a type it has no converters for.
    vrx_test::TestManager manager;
    EXPECT_FALSE(VRX_CsUtilityMaker<uint8_t>(&manager).make(C::s_rgb(), C::none(), 8));
    EXPECT_EQ(manager.status().code, 0x81000000u);
    EXPECT_STREQ(manager.status().function, "VRX_ColorSpace::engine()");
}

// One-bit images only change their label, or are complemented when the
// conversion reverses gray.
TEST(ColorSpace, OneBitPlans) {
    struct Case {
        const C* source;
        const C* target;
        bool complemented;
    } cases[] = {
        {C::gray(), C::gray_reverse(), true},  {C::gray(), C::lstar(), false},
        {C::lstar(), C::gray_reverse(), true}, {C::lstar(), C::gray(), false},
        {C::gray_reverse(), C::gray(), true},  {C::gray_reverse(), C::lstar(), true},
    };
    const std::vector<uint8_t> bits = {0x5A, 0x0F, 0xFF, 0x00, 0x81, 0x3C};  // 16 x 3
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source->name()) + " to " + c.target->name());
        vrx_test::TestManager manager;
        Format f;
        f.width = 16;
        f.height = 3;
        f.bits = 1;
        f.color = c.source;
        VRX_Engine* e = VRX_ColorSpace(&manager).engine(read_memory(manager, f, bits), c.target);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->header()->color_type(), c.target);
        EXPECT_EQ(e->header()->bits, 1);
        std::vector<uint8_t> out;
        ASSERT_TRUE(write_memory(manager, e, out));
        for (size_t i = 0; i < bits.size(); ++i)
            EXPECT_EQ(out[i], c.complemented ? uint8_t(~bits[i]) : bits[i]) << i;
    }
    // A source of the requested type comes back as it is.
    vrx_test::TestManager manager;
    VRX_Engine* src = rgb(manager);
    EXPECT_EQ(space(manager, src, C::s_rgb()), src);
    EXPECT_EQ(VRX_ColorSpaceConverterPtoP(&manager).engine(src, C::s_rgb()), src);
    EXPECT_TRUE(manager.execute());
}

// Every allocation of plans of each kind failing in turn: the job ends with
// an error status every time.
TEST(ColorSpace, AllocationFailures) {
    struct Plan {
        const char* name;
        uint16_t bits;
        const C* source;
        const C* target;
    } plans[] = {
        {"matrix", 8, C::s_rgb(), C::ycbcr()},
        {"matrix then table", 16, C::ycbcr(), C::gray_reverse()},
        {"table then matrix", 8, C::gray_reverse(), C::ycbcr()},
        {"point then direct table", 8, C::hsl(), C::adobe_rgb()},
        {"direct table then point", 16, C::lstar(), C::hsl()},
        {"one-bit NOT", 1, C::gray(), C::gray_reverse()},
    };
    for (const Plan& p : plans) {
        const uint16_t n = p.source->channels();
        std::vector<uint8_t> bytes(size_t{8} * 8 * n * 2, 0x5A);
        vrx_test::sweep_allocation_failures(p.name, 400, [&](vrx_test::TestManager& m) {
            Format f;
            f.width = 8;
            f.height = 8;
            f.bits = p.bits;
            f.channels = n;
            f.color = p.source;
            VRX_Engine* e = VRX_ColorSpace(&m).engine(read_memory(m, f, bytes), p.target);
            std::vector<uint8_t> out;
            return e && write_memory(m, e, out);
        });
    }
}

}  // namespace
