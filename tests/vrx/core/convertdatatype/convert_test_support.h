#pragma once
// Test support of the conversion stages: refusals checked by code, function
// text and line, and whole images of every value of a sample type.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "tests/vrx/framework/support/test_manager.h"

namespace vrx_convert_test {

using namespace vrx;
using namespace vrx_pixel_test;

// One refusal: `build` makes the stage in a fresh manager and must give null
// with the recorded status (code, function, line; line 0: any line).
struct Refusal {
    const char* name;
    std::function<VRX_Engine*(VRX_Manager&)> build;
    uint32_t code;
    const char* function;
    uint32_t line;
};

// Runs every refusal; each must leave nothing registered and give every
// byte it took back once the job ends.
inline void expect_refusals(const std::vector<Refusal>& refusals) {
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        vrx_test::TestManager manager;
        EXPECT_EQ(r.build(manager), nullptr);
        const VRX_Status status = manager.status();
        EXPECT_EQ(status.code, r.code);
        EXPECT_STREQ(status.function, r.function);
        if (r.line != 0) {
            EXPECT_EQ(status.line, r.line);
        }
        VRX_Status out(&manager);
        EXPECT_FALSE(manager.execute(out));
        EXPECT_EQ(manager.memory_manager().outstanding(), 3);  // the manager's own parts
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
