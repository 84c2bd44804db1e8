// Colour matrices against the numpy model (colour_model.py) on random
// matrices of five shapes, in Q12 and double, with and without offsets;
// the identity shortcut, the Q12 truncation and both rounding rules.
#include "vrx/core/colormatrix/vrx_colormatrix.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

#include "tests/vrx/core/colorspace/colour_test_support.h"
#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"

namespace {

using namespace vrx_colour_test;

// A matrix of rows x cols from row-major coefficients.
void set(VRX_Matrix<double>& m, uint32_t rows, uint32_t cols, const std::vector<double>& v) {
    ASSERT_TRUE(m.resize(rows, cols));
    for (uint32_t i = 0; i < rows * cols; ++i) m.set(i / cols, i % cols, v[i]);
}

VRX_Vector<double> vector_of(VRX_Manager& manager, const std::vector<double>& v) {
    VRX_Vector<double> out(&manager);
    for (double x : v) out.push_back(x);
    return out;
}

TEST(ColorMatrix, RandomMatricesMatchTheModel) {
    const auto rows = read_fixture("matrix_cases.txt");
    ASSERT_EQ(rows.size(), 60u);
    for (size_t index = 0; index < rows.size(); ++index) {
        const auto& row = rows[index];
        const uint32_t r = std::stoi(row[0]), c = std::stoi(row[1]);
        const uint16_t bits = std::stoi(row[2]);
        const bool fixed = row[3] == "1";
        const int offsets = std::stoi(row[4]);
        SCOPED_TRACE(testing::Message() << "case " << index << ": " << r << "x" << c << ", " << bits
                                        << " bits, fixed " << fixed << ", offsets " << offsets);
        // The model's matrix_case_data.
        XorShift rng(0x85EBCA6Bu ^ static_cast<uint32_t>(index));
        std::vector<double> m, in, out;
        for (uint32_t i = 0; i < r * c; ++i) m.push_back((int(rng.below(4001)) - 2000) / 1000.0);
        const int h = 1 << (bits - 1);
        for (uint32_t i = 0; i < c; ++i) in.push_back(int(rng.below(2 * h + 1)) - h);
        for (uint32_t i = 0; i < r; ++i) out.push_back(int(rng.below(2 * h + 1)) - h);
        std::vector<uint32_t> px;
        for (uint32_t i = 0; i < 24 * c; ++i) px.push_back(rng.below((1u << bits)));

        vrx_test::TestManager manager;
        VRX_Matrix<double> matrix(&manager);
        set(matrix, r, c, m);
        const VRX_Vector<double> in_v = vector_of(manager, in), out_v = vector_of(manager, out);
        const std::vector<uint32_t> got =
            run_stage(manager, line_format(px.size(), bits, static_cast<uint16_t>(c), color_for(c)),
                      px, [&](VRX_Engine* e) {
                          return VRX_ColorMatrix(&manager).engine(
                              e, matrix, offsets & 1 ? &in_v : nullptr,
                              offsets & 2 ? &out_v : nullptr, color_for(r), fixed);
                      });
        EXPECT_EQ(first_difference(got, hex_samples(row[5], bits), 0), -1);
    }
}

// One 8-bit sample through a 1 x 1 matrix with an output offset.
uint32_t one_sample(double coefficient, double offset, uint32_t sample, bool fixed) {
    vrx_test::TestManager manager;
    VRX_Matrix<double> matrix(&manager);
    set(matrix, 1, 1, {coefficient});
    const VRX_Vector<double> out = vector_of(manager, {offset});
    const std::vector<uint32_t> got = run_stage(
        manager, line_format(1, 8, 1, VRX_ColorType::gray()), {sample}, [&](VRX_Engine* e) {
            return VRX_ColorMatrix(&manager).engine(e, matrix, nullptr, &out, nullptr, fixed);
        });
    return got.empty() ? 9999 : got[0];
}

TEST(ColorMatrix, RoundingAndClamping) {
    struct Case {
        double coefficient, offset;
        uint32_t sample;
        bool fixed;
        uint32_t want;
    } cases[] = {
        {0.5, 0, 255, true, 128},   // exactly 127.5 in Q12: halves up
        {0, -0.1, 9, true, 0},      // below 0
        {0, 300, 9, true, 255},     // above the maximum
        {0.01, 0, 255, true, 2},    // 0.01 truncated to 40 / 4096: 2.49 gives 2, not 3
        {0.01, 0, 255, false, 3},   // 2.55 in double
        {0, 254.5, 0, false, 255},  // double: truncate(v + 0.5)
        {0, 255.4, 0, false, 255}, {0, 255.6, 0, false, 255},  // clamped
        {0, -0.4, 0, false, 0},    {0, 127.49, 0, false, 127},
    };
    for (const Case& c : cases)
        EXPECT_EQ(one_sample(c.coefficient, c.offset, c.sample, c.fixed), c.want)
            << c.coefficient << " x " << c.sample << " + " << c.offset << " fixed " << c.fixed;
    EXPECT_EQ(q12_truncated(0.01), 40);  // 40.96 truncated, not rounded
    EXPECT_EQ(q12_truncated(-0.01), -40);
    EXPECT_EQ(q12_truncated(1e6), INT_MAX);  // beyond the Q12 range: saturated
    EXPECT_EQ(q12_truncated(-1e6), INT_MIN);
    EXPECT_EQ(q12_truncated(NAN), 0);
}

TEST(ColorMatrix, IdentityShortcutAndRelabel) {
    struct Case {
        double diagonal, off_diagonal;
        bool identity;
    } cases[] = {
        {1.0, 0.0, true},
        {1.0 + DBL_EPSILON, 0.0, true},  // the next double above 1
        {1.0 + 2 * DBL_EPSILON, 0.0, false},
        {1.0, 2e-16, true},
        {1.0, 3e-16, false},
    };
    const std::vector<uint32_t> px = {10, 20, 30, 250, 0, 7};
    for (const Case& c : cases) {
        vrx_test::TestManager manager;
        VRX_Matrix<double> m(&manager);
        set(m, 3, 3, {c.diagonal, c.off_diagonal, 0, 0, c.diagonal, 0, 0, 0, c.diagonal});
        const std::vector<uint8_t> bytes = sample_bytes(px, 8);
        VRX_Engine* source =
            read_memory(manager, line_format(px.size(), 8, 3, VRX_ColorType::s_rgb()), bytes);
        VRX_Engine* e =
            VRX_ColorMatrix(&manager).engine(source, m, nullptr, nullptr, nullptr, true);
        EXPECT_EQ(e == source, c.identity) << c.diagonal << " " << c.off_diagonal;
        EXPECT_TRUE(manager.execute());
    }
    // The identity with another colour type builds a stage that copies the
    // samples under the new type.
    vrx_test::TestManager manager;
    VRX_Matrix<double> m(&manager);
    set(m, 3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
    Output header;
    for (bool fixed : {true, false}) {
        const std::vector<uint32_t> got = run_stage(
            manager, line_format(px.size(), 8, 3, VRX_ColorType::s_rgb()), px,
            [&](VRX_Engine* e) {
                return VRX_ColorMatrix(&manager).engine(e, m, nullptr, nullptr,
                                                        VRX_ColorType::adobe_rgb(), fixed);
            },
            &header);
        EXPECT_EQ(got, px);
        EXPECT_EQ(header.color, VRX_ColorType::adobe_rgb());
    }
}

// Floating images take the double engines whatever the request: samples
// are neither rounded nor clamped.
TEST(ColorMatrix, FloatingImages) {
    vrx_test::TestManager manager;
    VRX_Matrix<double> m(&manager);
    set(m, 1, 3, {0.5, -2, 1});
    const VRX_Vector<double> out = vector_of(manager, {0.25});
    const std::vector<float> fpx = {1.5f, 100.f, -3.f, 0.f, 0.f, 1e30f};
    const std::vector<double> dpx = {1.5, 100, -3, 0, 0, 1e300};
    Format f = format_of<float>(2, 1, 3);
    f.color = VRX_ColorType::s_rgb();
    std::vector<uint8_t> result;
    const std::vector<uint8_t> fbytes = to_bytes(fpx), dbytes = to_bytes(dpx);
    VRX_Engine* e = VRX_ColorMatrix(&manager).engine(read_memory(manager, f, fbytes), m, nullptr,
                                                     &out, VRX_ColorType::gray(), true);
    ASSERT_TRUE(write_memory(manager, e, result));
    EXPECT_EQ(from_bytes<float>(result), (std::vector<float>{-202.0f, 1e30f}));
    Format d = format_of<double>(2, 1, 3);
    d.color = VRX_ColorType::s_rgb();
    e = VRX_ColorMatrix(&manager).engine(read_memory(manager, d, dbytes), m, nullptr, &out,
                                         VRX_ColorType::gray(), false);
    ASSERT_TRUE(write_memory(manager, e, result));
    EXPECT_EQ(from_bytes<double>(result), (std::vector<double>{-202.0, 1e300}));
}

}  // namespace

namespace {

// The vector kernels of the Q12 3 x 3 matrix on 8-bit pixels against the
// rule they implement, with coefficients at the ends of 16 bits and
// constants at the ends of +-2^30: each kernel the processor runs converts
// its whole steps and leaves the rest of the line alone.
TEST(ColorMatrix, VectorKernels) {
    XorShift rng(12345);
    const size_t width = 101;
    struct Kernel {
        const char* name;
        bool available;
        VRX_ColorMatrix3x3Kernel run;
        size_t step;
    } kernels[] = {
        {"ssse3", colormatrix3x3_ssse3_available(), colormatrix3x3_q12_u8_ssse3, 16},
        {"avx2", colormatrix3x3_avx2_available(), colormatrix3x3_q12_u8_avx2, 32},
    };
    for (int round = 0; round < 40; ++round) {
        int16_t m[9];
        int32_t k[3];
        int32_t m32[9];
        for (int i = 0; i < 9; ++i) {
            const uint32_t pick = rng.below(4);
            m[i] = pick == 0 ? INT16_MIN : pick == 1 ? INT16_MAX : int16_t(rng.next());
            m32[i] = m[i];
        }
        for (int r = 0; r < 3; ++r) {
            const uint32_t pick = rng.below(3);
            k[r] = pick == 0 ? -(1 << 30) : pick == 1 ? (1 << 30) : int32_t(rng.next()) >> 8;
        }
        ASSERT_TRUE(colormatrix3x3_simd_suits(m32, k));
        std::vector<uint8_t> in(3 * width);
        for (uint8_t& b : in) b = static_cast<uint8_t>(rng.next());
        for (const Kernel& kernel : kernels) {
            if (!kernel.available) continue;
            SCOPED_TRACE(kernel.name);
            std::vector<uint8_t> out(3 * width, 0xEE);
            const size_t done = kernel.run(in.data(), out.data(), width, m, k);
            ASSERT_EQ(done, width / kernel.step * kernel.step);
            for (size_t i = 0; i < 3 * width; ++i) {
                if (i >= 3 * done) {
                    ASSERT_EQ(out[i], 0xEE) << i;
                    continue;
                }
                const size_t p = i / 3, r = i % 3;
                int64_t v = k[r];
                for (int c = 0; c < 3; ++c) v += int64_t{m[3 * r + c]} * in[3 * p + c];
                const int64_t want = v < 0 ? 0 : v > 255 * 4096 ? 255 : (v + 2048) >> 12;
                ASSERT_EQ(out[i], want) << "pixel " << p << " row " << r;
            }
        }
    }
    // Coefficients or constants beyond the bounds stay with the plain kernel.
    int32_t m[9] = {INT16_MAX + 1}, k[3] = {};
    EXPECT_FALSE(colormatrix3x3_simd_suits(m, k));
    m[0] = 0;
    k[2] = (1 << 30) + 1;
    EXPECT_FALSE(colormatrix3x3_simd_suits(m, k));
}

// Q12 sums wrap in 32 bits: a constant near the top of the range plus a
// product passes 2^31 and comes out as a negative sum, clamped to 0.
TEST(ColorMatrix, Q12SumsWrap) {
    EXPECT_EQ(one_sample(1.0, 524287.75, 255, true), 0u);     // 2^31 - 1024 + 255 x 4096
    EXPECT_EQ(one_sample(1.0, 524287.75, 0, true), 255u);     // no wrap: above the maximum
    EXPECT_EQ(one_sample(-8.0, -524287.0, 255, true), 255u);  // wraps from below to the top
}

}  // namespace
