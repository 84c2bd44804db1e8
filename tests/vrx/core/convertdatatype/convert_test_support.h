#pragma once
// Test support of the conversion stages: the conversion's arithmetic, whole
// images of every value of a sample type, and engines built by hand.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"

namespace vrx_convert_test {

using namespace vrx;
using namespace vrx_pixel_test;

// x x gain + offset as the conversion defines it: a gain within DBL_EPSILON
// of 1 is 1, an offset within DBL_EPSILON of 0 is 0 (NaN is neither).
inline long double mapped(long double x, double gain, double offset) {
    if (std::fabs(gain - 1.0) <= DBL_EPSILON) return x + offset;
    if (std::fabs(offset) <= DBL_EPSILON) return x * gain;
    return x * gain + offset;
}

// y as a sample of D: limited to D's range, integers rounded halves away
// from zero, NaN 0 for integers.
template <class D>
D saturated(long double y) {
    if constexpr (std::is_integral_v<D>) {
        if (std::isnan(y)) return 0;
        if (y < std::numeric_limits<D>::min()) return std::numeric_limits<D>::min();
        if (y > std::numeric_limits<D>::max()) return std::numeric_limits<D>::max();
        return static_cast<D>(y >= 0 ? std::truncl(y + 0.5L) : std::truncl(y - 0.5L));
    } else {
        const long double top = std::numeric_limits<D>::max();
        if (y < -top) return static_cast<D>(-top);
        if (y > top) return static_cast<D>(top);
        return static_cast<D>(y);
    }
}

// Every value of T once, in increasing order (T of at most 16 bits).
template <class T>
std::vector<T> every_value() {
    std::vector<T> values;
    for (int64_t v = std::numeric_limits<T>::min(); v <= std::numeric_limits<T>::max(); ++v)
        values.push_back(static_cast<T>(v));
    return values;
}

}  // namespace vrx_convert_test

namespace vrx_convert_test {

// Builds engine E behind `source` by hand, the way creators do, for checks
// a creator never lets through: construct, initiate(header, src, dst,
// args...), and on failure destroy the engine and both buffers. The
// registered engine or null.
template <class E, class... Args>
VRX_Engine* build_engine(VRX_Manager& manager, VRX_Engine* source, Args&&... args) {
    struct Maker : VRX_EngineCreator {
        using VRX_EngineCreator::make_engine;
        using VRX_EngineCreator::VRX_EngineCreator;
    } maker(&manager);
    const VRX_Header* header = source->header();
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager.new_dst_buffer();
    return maker.template make_engine<E>(
        src, dst, [&](E* e) { return e->initiate(header, src, dst, args...); });
}

}  // namespace vrx_convert_test
