#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalue.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// Builds the analysis over `samples` (width x height), runs it and returns
// whether it ran without error; the result is left in low and high.
template <class T, class A>
bool analyse(const std::vector<T>& samples, uint32_t width, A& low, A& high) {
    VRX_DefaultManager manager;
    const std::vector<uint8_t> bytes = to_bytes(samples);
    const uint32_t height = static_cast<uint32_t>(samples.size() / width);
    VRX_Engine* source = read_memory(manager, format_of<T>(width, height), bytes);
    VRX_Engine* engine = VRX_MinMaxPixelValue(&manager).engine(source, &low, &high);
    if (!engine) return false;
    while (engine->execute()) {
    }
    return manager.execute();
}

template <class T, class A>
void check_random(uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<T> samples(67 * 9);
    for (T& s : samples) {
        if constexpr (std::is_floating_point_v<T>)
            s = static_cast<T>(std::uniform_real_distribution<double>(-1e6, 1e6)(random));
        else
            s = static_cast<T>(random());
    }
    A low{}, high{};
    ASSERT_TRUE((analyse<T, A>(samples, 67, low, high)));
    T want_low = samples[0], want_high = samples[0];
    for (T s : samples) {
        want_low = std::min(want_low, s);
        want_high = std::max(want_high, s);
    }
    EXPECT_EQ(low, static_cast<A>(want_low));
    EXPECT_EQ(high, static_cast<A>(want_high));
}

TEST(MinMaxPixelValue, EverySampleTypeAgainstAPlainScan) {
    check_random<uint8_t, unsigned int>(1);
    check_random<uint16_t, unsigned int>(2);
    check_random<uint32_t, unsigned int>(3);
    check_random<int8_t, int>(4);
    check_random<int16_t, int>(5);
    check_random<int32_t, int>(6);
    check_random<float, float>(7);
    check_random<double, double>(8);
}

TEST(MinMaxPixelValue, DocumentedValues) {
    unsigned int ulow = 0, uhigh = 0;
    ASSERT_TRUE((analyse<uint16_t, unsigned int>({12, 0, 4095}, 3, ulow, uhigh)));
    EXPECT_EQ(ulow, 0u);
    EXPECT_EQ(uhigh, 4095u);

    int low = 0, high = 0;
    ASSERT_TRUE((analyse<int8_t, int>({5, -128, 127, 0}, 2, low, high)));
    EXPECT_EQ(low, -128);
    EXPECT_EQ(high, 127);

    float flow = 0, fhigh = 0;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE((analyse<float, float>({nan, 2.5f, nan, -1.0f}, 4, flow, fhigh)));
    EXPECT_EQ(flow, -1.0f);
    EXPECT_EQ(fhigh, 2.5f);
}

TEST(MinMaxPixelValue, AllNaNLeavesTheStartingValues) {
    double low = 0, high = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_TRUE((analyse<double, double>({nan, nan}, 2, low, high)));
    EXPECT_EQ(low, DBL_MAX);
    EXPECT_EQ(high, -DBL_MAX);
}

TEST(MinMaxPixelValue, InitiateWritesTheStartingValues) {
    VRX_DefaultManager manager;
    const std::vector<uint8_t> bytes(4, 7);
    VRX_Engine* source = read_memory(manager, format_of<uint8_t>(2, 2), bytes);
    unsigned int low = 1, high = 1;
    VRX_Engine* engine = VRX_MinMaxPixelValue(&manager).engine(source, &low, &high);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(low, 0xFFFFFFFFu);
    EXPECT_EQ(high, 0u);
    int ilow = 0, ihigh = 0;
    Format f = format_of<int16_t>(1, 1);
    const std::vector<uint8_t> two(2, 0);
    VRX_Engine* other = read_memory(manager, f, two);
    ASSERT_NE(VRX_MinMaxPixelValue(&manager).engine(other, &ilow, &ihigh), nullptr);
    EXPECT_EQ(ilow, 2147483647);
    EXPECT_EQ(ihigh, -2147483647 - 1);
    float flow = 0, fhigh = 0;
    VRX_Engine* third = read_memory(manager, format_of<float>(1, 1), bytes);
    ASSERT_NE(VRX_MinMaxPixelValue(&manager).engine(third, &flow, &fhigh), nullptr);
    EXPECT_EQ(flow, FLT_MAX);
    EXPECT_EQ(fhigh, -FLT_MAX);
    EXPECT_TRUE(manager.execute());
}

TEST(MinMaxPixelValue, Refusals) {
    struct Case {
        const char* name;
        Format format;
        int overload;  // 0 unsigned, 1 int, 2 float, 3 double
        uint32_t code;
        const char* function;
    };
    Format rgb = format_of<uint8_t>(2, 2);
    rgb.channels = 3;
    rgb.color = VRX_ColorType::s_rgb();
    Format four = format_of<uint8_t>(2, 2);
    four.bits = 4;
    const Case cases[] = {
        {"4-bit reaches the 32-bit instance", four, 0, 0x81000000, "VRX_MinMaxPixelValueEngine::initiate()"},
        {"three channels", rgb, 0, 0x81000000, "VRX_MinMaxPixelValueEngine::initiate()"},
        {"signed to the unsigned overload", format_of<int16_t>(2, 2), 0, 0x80800000,
         "VRX_MinMaxPixelValue::engine()"},
        {"unsigned to the int overload", format_of<uint16_t>(2, 2), 1, 0x80800000,
         "VRX_MinMaxPixelValue::engine()"},
        {"integer to the float overload", format_of<int32_t>(2, 2), 2, 0x80800000,
         "VRX_MinMaxPixelValue::engine()"},
        {"float to the double overload", format_of<float>(2, 2), 3, 0x81000000,
         "VRX_MinMaxPixelValueEngine::initiate()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VRX_DefaultManager manager;
        const std::vector<uint8_t> bytes(64, 0);
        VRX_Engine* source = read_memory(manager, c.format, bytes);
        ASSERT_NE(source, nullptr);
        VRX_MinMaxPixelValue creator(&manager);
        unsigned int u[2] = {5, 5};
        int i[2];
        float f[2];
        double d[2];
        VRX_Engine* engine = c.overload == 0   ? creator.engine(source, &u[0], &u[1])
                             : c.overload == 1 ? creator.engine(source, &i[0], &i[1])
                             : c.overload == 2 ? creator.engine(source, &f[0], &f[1])
                                               : creator.engine(source, &d[0], &d[1]);
        EXPECT_EQ(engine, nullptr);
        EXPECT_STATUS(manager, c.code, c.function);
        EXPECT_FALSE(manager.execute());
    }
}

TEST(MinMaxPixelValue, NullArguments) {
    VRX_DefaultManager manager;
    unsigned int low = 0, high = 0;
    EXPECT_EQ(VRX_MinMaxPixelValue(&manager).engine(nullptr, &low, &high), nullptr);
    EXPECT_STATUS(manager, 0x80800000, "VRX_MinMaxPixelValue::engine()");
    manager.execute();

    const std::vector<uint8_t> bytes(4, 0);
    VRX_Engine* source = read_memory(manager, format_of<uint8_t>(2, 2), bytes);
    EXPECT_EQ(VRX_MinMaxPixelValue(&manager).engine(source, &low, nullptr), nullptr);
    EXPECT_STATUS(manager, 0x80800000, "VRX_MinMaxPixelValueEngine::initiate()");
}

}  // namespace
