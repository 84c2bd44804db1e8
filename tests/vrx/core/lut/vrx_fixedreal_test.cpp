#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "vrx/core/lut/vrx_fixedrealimpl.h"

namespace {

using vrx::VRX_FixedReal12;

// floor(a x b / 4096) in 64 bits, reduced to 32 bits.
int32_t reference_product(int32_t a, int32_t b) {
    const int64_t p = int64_t{a} * b;
    const int64_t q = p >= 0 ? p / 4096 : -((-p + 4095) / 4096);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(q)));
}

TEST(FixedReal, ConstructionRoundsHalvesAwayFromZero) {
    const struct {
        double x;
        int32_t raw;
    } cases[] = {
        {0.5, 2048},       {1.0, 4096},     {1.0 / 3, 1365},           {-1.0 / 3, -1365},
        {0.0, 0},          {0.5 / 4096, 1}, {-0.5 / 4096, -1},         {0.49 / 4096, 0},
        {-0.49 / 4096, 0}, {-2.5, -10240},  {524287.0, 524287 * 4096}, {1e9, INT32_MAX},
        {-1e9, INT32_MIN}, {NAN, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(VRX_FixedReal12(c.x).raw(), c.raw) << c.x;
    EXPECT_EQ(VRX_FixedReal12::from_raw(6144).to_double(), 1.5);
    EXPECT_EQ(static_cast<double>(VRX_FixedReal12::from_raw(-1)), -1.0 / 4096);
    EXPECT_EQ(VRX_FixedReal12::from_int(255).raw(), 255 * 4096);
}

// The product against floor(a x b / 4096) in 64 bits: documented values,
// sign and carry boundaries, every sample times 1.0, and random operands
// over the whole 32-bit range (where it wraps).
TEST(FixedReal, ProductIsTheFlooredQuotientInThirtyTwoBits) {
    const int32_t edges[] = {
        0,       1,         -1,        4095,          4096,         -4096,  6144,
        -12288,  2048,      0xFFFF,    0x10000,       -0x10000,     0x7FFF, -0x8000,
        0xFFFFF, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
    for (int32_t a : edges)
        for (int32_t b : edges)
            ASSERT_EQ(VRX_FixedReal12::multiply(a, b), reference_product(a, b)) << a << " " << b;
    EXPECT_EQ(VRX_FixedReal12::multiply(4096, 4096), 4096);
    EXPECT_EQ(VRX_FixedReal12::multiply(6144, 6144), 9216);
    EXPECT_EQ(VRX_FixedReal12::multiply(-12288, 2048), -6144);
    EXPECT_EQ(VRX_FixedReal12::multiply(-1, 1), -1);
    EXPECT_EQ(VRX_FixedReal12::multiply(1, 1), 0);
    const VRX_FixedReal12 one(1.0);
    for (int32_t s = 0; s <= 65535; ++s)
        ASSERT_EQ((one * VRX_FixedReal12::from_int(s)).raw(), s * 4096) << s;

    std::mt19937 random(12);
    for (int i = 0; i < 2000000; ++i) {
        const int32_t a = static_cast<int32_t>(random());
        // Mostly operands in the range callers use, some over the whole range.
        const int32_t b = (i & 1) ? static_cast<int32_t>(random())
                                  : static_cast<int32_t>(random() % 0x200000) - 0x100000;
        ASSERT_EQ(VRX_FixedReal12::multiply(a, b), reference_product(a, b)) << a << " " << b;
    }
}

TEST(FixedReal, SumsAndComparisonsAreThoseOfTheRawValues) {
    const VRX_FixedReal12 a = VRX_FixedReal12::from_raw(5000), b = VRX_FixedReal12::from_raw(-7);
    EXPECT_EQ((a + b).raw(), 4993);
    EXPECT_EQ((b - a).raw(), -5007);
    EXPECT_LT(b, a);
    EXPECT_EQ((VRX_FixedReal12::from_raw(INT32_MAX) + VRX_FixedReal12::from_raw(1)).raw(),
              INT32_MIN);
}

}  // namespace
