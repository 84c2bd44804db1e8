#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "vrx/framework/base/vrx_stagecreator.h"
#include "vrx/core/scale/vrx_scaleheightengine.h"
#include "vrx/core/scale/vrx_scalewidthengine.h"

namespace {

using namespace vrx;
using namespace vrx_pixel_test;

// The bases on their own: engines that only initiate.
struct WidthEngine : VRX_ScaleWidthEngine {
    using VRX_ScaleWidthEngine::VRX_ScaleWidthEngine;
    bool execute() override { return false; }
};
struct HeightEngine : VRX_ScaleHeightEngine {
    using VRX_ScaleHeightEngine::VRX_ScaleHeightEngine;
    bool execute() override { return false; }
};
struct Creator : VRX_StageCreator {
    using VRX_StageCreator::VRX_StageCreator;
    template <class E>
    E* make(VRX_Engine* source, uint32_t size) {
        return static_cast<E*>(build<E>(source, source->header(), size));
    }
};

TEST(ScaleBases, LineSizesAndRatio) {
    struct Case {
        Format format;
        uint32_t size;
        uint32_t src_bytes, dst_bytes;
        double ratio;
    };
    Format rgb = format_of<uint8_t>(640, 512, 3);
    Format bits;
    bits.width = 10;
    bits.height = 100;
    bits.bits = 1;
    const Case widths[] = {{rgb, 100, 1920, 300, 0}, {bits, 3, 2, 1, 0}};
    for (const Case& c : widths) {
        VRX_DefaultManager m;
        const std::vector<uint8_t> bytes(line_bytes(c.format) * c.format.height);
        auto* e = Creator(&m).make<WidthEngine>(read_memory(m, c.format, bytes), c.size);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->src_line_bytes(), c.src_bytes);
        EXPECT_EQ(e->dst_line_bytes(), c.dst_bytes);
        EXPECT_EQ(e->header()->width, c.size);
    }
    const Case heights[] = {{rgb, 128, 1920, 1920, 4.0}, {bits, 300, 2, 2, 1.0 / 3.0}};
    for (const Case& c : heights) {
        VRX_DefaultManager m;
        const std::vector<uint8_t> bytes(line_bytes(c.format) * c.format.height);
        auto* e = Creator(&m).make<HeightEngine>(read_memory(m, c.format, bytes), c.size);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->line_bytes(), c.src_bytes);
        EXPECT_DOUBLE_EQ(e->ratio(), c.ratio);
        EXPECT_EQ(e->header()->height, c.size);
    }
}

TEST(ScaleBases, ZeroTargetRefused) {
    VRX_DefaultManager m;
    const std::vector<uint8_t> bytes(64);
    EXPECT_EQ(Creator(&m).make<WidthEngine>(read_memory(m, format_of<uint8_t>(8, 8), bytes), 0),
              nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_ScaleWidthEngine::initiate()"));
    EXPECT_EQ(Creator(&m).make<HeightEngine>(read_memory(m, format_of<uint8_t>(8, 8), bytes), 0),
              nullptr);
    EXPECT_TRUE(iotest::reported(m, VRX_ERROR_ARGUMENT, "VRX_ScaleHeightEngine::initiate()"));
}

}  // namespace
