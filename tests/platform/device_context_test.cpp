// Lines, pens and rectangles of the device context, read back pixel by pixel.
#include "platform/device_context.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using namespace platform;

using Pixels = std::set<std::pair<int, int>>;

constexpr Color kGrey{128, 128, 128};

Pixels lit(const Bitmap& bm, Color c) {
    Pixels out;
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x)
            if (bm.pixel(x, y) == c) out.insert({x - 10, y - 10});
    return out;
}

TEST(DeviceContext, LinesLeaveOutTheirLastPixel) {
    struct Case {
        Point from, to;
        Pen pen;
        BackgroundMode mode;
        Pixels white, grey;  // relative to (10, 10)
    };
    const Pen solid1{PenStyle::solid, 1, kWhite}, solid2{PenStyle::solid, 2, kWhite};
    const Pen solid3{PenStyle::solid, 3, kWhite}, dot{PenStyle::dot, 1, kWhite};
    const auto T = BackgroundMode::transparent;
    const Case cases[] = {
        {{0, 0}, {4, 0}, solid1, T, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {}},
        {{0, 0}, {3, 3}, solid1, T, {{0, 0}, {1, 1}, {2, 2}}, {}},
        {{0, 3}, {0, 0}, solid1, T, {{0, 3}, {0, 2}, {0, 1}}, {}},
        {{0, 0}, {4, 2}, solid1, T, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}, {}},  // ties round up
        {{2, 2}, {2, 2}, solid1, T, {}, {}},
        {{0, 0}, {2, 0}, solid2, T, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}, {}},
        {{0, 0},
         {1, 0},
         solid3,
         T,
         {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}},
         {}},
        {{0, 0}, {8, 0}, dot, T, {{0, 0}, {1, 0}, {4, 0}, {5, 0}}, {}},
        {{0, 0},
         {8, 0},
         dot,
         BackgroundMode::opaque,
         {{0, 0}, {1, 0}, {4, 0}, {5, 0}},
         {{2, 0}, {3, 0}, {6, 0}, {7, 0}}},
        {{0, 0}, {8, 0}, {PenStyle::null, 1, kWhite}, T, {}, {}},
    };
    for (const Case& c : cases) {
        Bitmap bm(30, 30);
        DeviceContext dc(&bm);
        dc.set_background_mode(c.mode);
        dc.set_background_color(kGrey);
        dc.select_pen(c.pen);
        dc.move_to({c.from.x + 10, c.from.y + 10});
        dc.line_to({c.to.x + 10, c.to.y + 10});
        EXPECT_EQ(lit(bm, kWhite), c.white) << c.to.x << "," << c.to.y << " w" << c.pen.width;
        EXPECT_EQ(lit(bm, kGrey), c.grey);
        EXPECT_EQ(dc.position(), (Point{c.to.x + 10, c.to.y + 10}));
    }
}

TEST(DeviceContext, RectanglesAndClipping) {
    Bitmap bm(20, 20);
    DeviceContext dc(&bm);
    dc.fill_rect({2, 2, 6, 5}, {kWhite, false});
    EXPECT_EQ(lit(bm, kWhite).size(), 12u);
    dc.fill_rect({0, 0, 20, 20}, {kWhite, true});  // a null brush paints nothing
    EXPECT_EQ(lit(bm, kWhite).size(), 12u);
    dc.invert_rect({2, 2, 4, 5});  // 6 white pixels back to black
    EXPECT_EQ(lit(bm, kWhite).size(), 6u);
    EXPECT_EQ(bm.pixel(2, 2), kBlack);
    bm.fill(kBlack);
    dc.frame_rect({2, 2, 7, 6}, {kWhite, false});  // 5 x 4 border
    EXPECT_EQ(lit(bm, kWhite).size(), 14u);
    EXPECT_EQ(bm.pixel(6, 5), kWhite);
    EXPECT_EQ(bm.pixel(4, 3), kBlack);

    // Everything stays inside the clip and the bitmap, far-off lines included.
    bm.fill(kBlack);
    dc.set_clip({5, 5, 10, 10});
    dc.fill_rect({0, 0, 20, 20}, {kWhite, false});
    EXPECT_EQ(lit(bm, kWhite).size(), 25u);
    dc.reset_clip();
    bm.fill(kBlack);
    dc.select_pen({PenStyle::solid, 3, kWhite});
    dc.move_to({-2000000000, 10});
    dc.line_to({2000000000, 10});
    EXPECT_EQ(lit(bm, kWhite).size(), 60u);
    DeviceContext none;
    none.fill_rect({0, 0, 5, 5}, {kWhite, false});
    none.line_to({5, 5});
    EXPECT_EQ(Bitmap(-1, 5).width(), 0);
}

}  // namespace
