// The IEEE 1180 accuracy procedure for the inverse DCT of every column of
// row 13: random 8x8 blocks in three ranges and both signs, a double-precision
// forward DCT rounded and clipped to -2048..2047, then the kernel's inverse
// against a double-precision inverse, both clipped to -256..255.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "jpegkernels/kernel_dispatch.h"

namespace jpegkernels {
namespace {

constexpr int kBlocks = 10000;

// The procedure's own generator: values in -L..H.
class IeeeRandom {
public:
    int32_t Next(int32_t low, int32_t high) {
        state_ = state_ * 1103515245u + 12345u;
        const double x = static_cast<double>(state_ & 0x7FFFFFFEu) / static_cast<double>(0x7FFFFFFF) * (low + high + 1);
        return static_cast<int32_t>(x) - low;
    }

private:
    uint32_t state_ = 1;
};

struct Basis {
    double c[8][8];  // c[k][n] = C(k)/2 cos((2n + 1) k pi / 16)
    Basis() {
        for (int k = 0; k < 8; ++k) {
            for (int n = 0; n < 8; ++n) c[k][n] = (k == 0 ? M_SQRT1_2 : 1.0) / 2 * std::cos((2 * n + 1) * k * M_PI / 16);
        }
    }
};
const Basis kBasis;

// Forward: F[v][u] from f[y][x]; inverse: f from F. Separable, in double.
void ForwardDct(const double in[64], double out[64]) {
    double tmp[64];
    for (int y = 0; y < 8; ++y) {
        for (int u = 0; u < 8; ++u) {
            double s = 0;
            for (int x = 0; x < 8; ++x) s += kBasis.c[u][x] * in[8 * y + x];
            tmp[8 * y + u] = s;
        }
    }
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double s = 0;
            for (int y = 0; y < 8; ++y) s += kBasis.c[v][y] * tmp[8 * y + u];
            out[8 * v + u] = s;
        }
    }
}

void InverseDct(const double in[64], double out[64]) {
    double tmp[64];
    for (int v = 0; v < 8; ++v) {
        for (int x = 0; x < 8; ++x) {
            double s = 0;
            for (int u = 0; u < 8; ++u) s += kBasis.c[u][x] * in[8 * v + u];
            tmp[8 * v + x] = s;
        }
    }
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            double s = 0;
            for (int v = 0; v < 8; ++v) s += kBasis.c[v][y] * tmp[8 * v + x];
            out[8 * y + x] = s;
        }
    }
}

double RoundHalfAway(double v) { return v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5); }

struct Statistics {
    int peak = 0;
    double worstPixelMse = 0, overallMse = 0, worstPixelMean = 0, overallMean = 0;
};

Statistics Measure(int column, int32_t low, int32_t high, int sign) {
    const auto entry = kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>()[column];
    int16_t ones[64];
    std::fill(std::begin(ones), std::end(ones), int16_t{1});
    IeeeRandom rng;
    double sumError[64] = {}, sumSquared[64] = {};
    Statistics s;
    for (int block = 0; block < kBlocks; ++block) {
        double samples[64], coefficients[64], reference[64];
        for (double& v : samples) v = sign * rng.Next(low, high);
        ForwardDct(samples, coefficients);
        int16_t input[64];
        for (int i = 0; i < 64; ++i) {
            coefficients[i] = std::clamp(RoundHalfAway(coefficients[i]), -2048.0, 2047.0);
            input[i] = static_cast<int16_t>(coefficients[i]);
        }
        InverseDct(coefficients, reference);
        int16_t out[64];
        EXPECT_EQ(entry(input, out, ones), kKernelOk);
        for (int i = 0; i < 64; ++i) {
            const int ref = static_cast<int>(std::clamp(RoundHalfAway(reference[i]), -256.0, 255.0));
            const int got = std::clamp<int>(out[i], -256, 255);
            const int e = got - ref;
            s.peak = std::max(s.peak, std::abs(e));
            sumError[i] += e;
            sumSquared[i] += e * e;
        }
    }
    double totalError = 0, totalSquared = 0;
    for (int i = 0; i < 64; ++i) {
        s.worstPixelMse = std::max(s.worstPixelMse, sumSquared[i] / kBlocks);
        s.worstPixelMean = std::max(s.worstPixelMean, std::abs(sumError[i]) / kBlocks);
        totalError += sumError[i];
        totalSquared += sumSquared[i];
    }
    s.overallMse = totalSquared / (64.0 * kBlocks);
    s.overallMean = std::abs(totalError) / (64.0 * kBlocks);
    return s;
}

struct Range {
    int32_t low, high;
};

class IeeeAccuracy : public ::testing::TestWithParam<int> {};

TEST_P(IeeeAccuracy, MeetsTheLimitsInEveryRangeAndSign) {
    const int column = GetParam();
    for (Range r : {Range{256, 255}, Range{5, 5}, Range{300, 300}}) {
        for (int sign : {1, -1}) {
            const Statistics s = Measure(column, r.low, r.high, sign);
            SCOPED_TRACE(::testing::Message() << "column " << column << " range -" << r.low << ".." << r.high
                                              << " sign " << sign);
            const std::string key = "range" + std::to_string(r.low) + (sign > 0 ? "pos" : "neg");
            RecordProperty(key + "_peak", s.peak);
            RecordProperty(key + "_pixel_mse", std::to_string(s.worstPixelMse));
            RecordProperty(key + "_overall_mse", std::to_string(s.overallMse));
            RecordProperty(key + "_pixel_mean", std::to_string(s.worstPixelMean));
            RecordProperty(key + "_overall_mean", std::to_string(s.overallMean));
            EXPECT_LE(s.peak, 1);
            EXPECT_LE(s.worstPixelMse, 0.06);
            EXPECT_LE(s.overallMse, 0.02);
            EXPECT_LE(s.worstPixelMean, 0.015);
            EXPECT_LE(s.overallMean, 0.0015);
        }
    }
    // All-zero input gives all-zero output.
    int16_t zeros[64] = {}, ones[64], out[64];
    std::fill(std::begin(ones), std::end(ones), int16_t{1});
    kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>()[column](zeros, out, ones);
    for (int16_t v : out) EXPECT_EQ(v, 0);
}

INSTANTIATE_TEST_SUITE_P(Columns, IeeeAccuracy, ::testing::Range(0, kProcessorColumns));

}  // namespace
}  // namespace jpegkernels
