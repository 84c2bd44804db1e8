// Reference-line geometry against a numpy model of the plane intersection
// clipped to both images (fixtures by tests/data/Source/make_reference_lines.py),
// the documented cases in one table, and the placing of the line numbers.
#include "Source/zebreferencegeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Source/czeboverlayreferenceline.h"

namespace {

using platform::Point;
using platform::Rect;

bool near(Point p, double x, double y) {
    return std::fabs(p.x - x) <= 1 && std::fabs(p.y - y) <= 1;
}

ZEBImagePlane read_plane(std::istringstream& in) {
    ZEBImagePlane p;
    for (double& v : p.position) in >> v;
    for (double& v : p.rowCosines) in >> v;
    for (double& v : p.columnCosines) in >> v;
    in >> p.columns >> p.rows >> p.spacingAlongRow >> p.spacingAlongColumn;
    return p;
}

TEST(ReferenceLine, AgreesWithPlaneIntersectionModel) {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/Source/reference_lines.txt");
    std::string line;
    int cases = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        const ZEBImagePlane a = read_plane(in), b = read_plane(in);
        double x1, y1, x2, y2;
        in >> x1 >> y1 >> x2 >> y2;
        ASSERT_TRUE(in) << line;
        double p3[2][3];
        Point p2[2];
        ASSERT_EQ(ComputeReferenceLine(p3, p2, a, b), 1) << cases;
        const bool same = near(p2[0], x1, y1) && near(p2[1], x2, y2);
        const bool swapped = near(p2[0], x2, y2) && near(p2[1], x1, y1);
        EXPECT_TRUE(same || swapped)
            << "case " << cases << ": (" << p2[0].x << "," << p2[0].y << ")-(" << p2[1].x << ","
            << p2[1].y << ") expected (" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ")";
        ++cases;
    }
    EXPECT_EQ(cases, 200);
}

ZEBImagePlane plane(std::vector<double> pos, std::vector<double> row, std::vector<double> col,
                    double columns, double rows, double spacing = 1.0) {
    ZEBImagePlane p;
    for (int i = 0; i < 3; ++i)
        p.position[i] = pos[i], p.rowCosines[i] = row[i], p.columnCosines[i] = col[i];
    p.columns = columns, p.rows = rows;
    p.spacingAlongRow = p.spacingAlongColumn = spacing;
    return p;
}

TEST(ReferenceLine, DocumentedCases) {
    // A coronal localiser 256 x 256 centred on the origin, 1 mm pixels.
    const ZEBImagePlane coronal = plane({-128, 0, 128}, {1, 0, 0}, {0, 0, -1}, 256, 256);
    const double r = std::sqrt(0.5);
    struct Case {
        const char* name;
        ZEBImagePlane a, b;
        int result;
        Point first, second;
    };
    const Case cases[] = {
        {"axial through the middle: across the localiser",
         coronal,
         plane({-200, -200, 0}, {1, 0, 0}, {0, 1, 0}, 400, 400),
         1,
         {0, 128},
         {256, 128}},
        {"parallel planes",
         coronal,
         plane({-128, 10, 128}, {1, 0, 0}, {0, 0, -1}, 256, 256),
         0,
         {},
         {}},
        {"nearly parallel planes (about 5 degrees)",
         coronal,
         plane({-128, 10, 128}, {1, 0, 0}, {0, 0.0872, -0.9962}, 256, 256),
         0,
         {},
         {}},
        {"a slice ending inside the localiser",
         coronal,
         plane({-50, -200, 0}, {1, 0, 0}, {0, 1, 0}, 100, 400),
         1,
         {178, 128},
         {78, 128}},
        {"a slice wholly on one side: the extended edges cross",
         coronal,
         plane({-200, 10, 0}, {1, 0, 0}, {0, 1, 0}, 400, 400),
         1,
         {0, 128},
         {256, 128}},
        {"a slice missing the localiser",
         coronal,
         plane({-200, -200, 400}, {1, 0, 0}, {0, 1, 0}, 400, 400),
         0,
         {},
         {}},
        {"a size of zero",
         coronal,
         plane({-200, -200, 0}, {1, 0, 0}, {0, 1, 0}, 0, 400),
         0,
         {},
         {}},
        {"a spacing of zero",
         coronal,
         plane({-200, -200, 0}, {1, 0, 0}, {0, 1, 0}, 400, 400, 0),
         0,
         {},
         {}},
        // Through the corner (0, 256) of an axial image: two borders meet the
        // line there; the other end is still found.
        {"a line through a corner keeps both ends",
         plane({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 256, 256),
         plane({-10, 266, -50}, {r, -r, 0}, {0, 0, 1}, 311 / r, 100),
         1,
         {0, 256},
         {256, 0}},
        // Spacings so small that the ends project far beyond any pixel grid.
        {"ends projected beyond 2^30 are outside",
         plane({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 256, 256, 1e-12),
         plane({-1, 0.5e-10, -1}, {1, 0, 0}, {0, 0, 1}, 2, 2),
         1,
         {0, 50},
         {256, 50}},
    };
    for (const Case& c : cases) {
        double p3[2][3];
        Point p2[2];
        ASSERT_EQ(ComputeReferenceLine(p3, p2, c.a, c.b), c.result) << c.name;
        if (!c.result) continue;
        EXPECT_EQ(p2[0], c.first) << c.name << " got " << p2[0].x << "," << p2[0].y;
        EXPECT_EQ(p2[1], c.second) << c.name << " got " << p2[1].x << "," << p2[1].y;
    }
}

TEST(ReferenceLine, SegmentsRoundingAndContainment) {
    struct Case {
        double s[8];
        int hit;
        double x, y;
    };
    const Case cases[] = {
        {{0, 0, 10, 10, 0, 10, 10, 0}, 1, 5, 5},
        {{0, 0, 10, 0, 0, 5, 10, 5}, 0, 0, 0},  // parallel
        {{3, 0, 3, 10, 7, 0, 7, 10}, 0, 0, 0},  // both vertical
        {{3, 0, 3, 10, 0, 4, 10, 4}, 1, 3, 4},  // vertical meets horizontal
        {{0, 4, 10, 4, 3, 0, 3, 10}, 1, 3, 4},
        {{0, 0, 10, 0, 10.09, -5, 10.09, 5}, 1, 10.09, 0},  // overshoot 0.09: 0.09 x 10.09 < 0.99
        {{0, 0, 10, 0, 10.2, -5, 10.2, 5}, 0, 0, 0},        // 0.2 x 10.2 > 0.99
    };
    for (const Case& c : cases) {
        double x = -1, y = -1;
        EXPECT_EQ(IntersectSegments2D(c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5], c.s[6],
                                      c.s[7], x, y),
                  c.hit);
        if (!c.hit) continue;
        EXPECT_NEAR(x, c.x, 1e-9);
        EXPECT_NEAR(y, c.y, 1e-9);
    }
    for (auto [in, out] :
         {std::pair{2.5, 3.0}, {-2.5, -3.0}, {2.4, 2.0}, {0.0, 0.0}, {-0.2, 0.0}}) {
        RoundHalfAway(in);
        EXPECT_EQ(in, out);
    }
    EXPECT_EQ(RectContains({1, 1, 5, 5}, {0, 0, 5, 5}), 1);
    EXPECT_EQ(RectContains({5, 5, 1, 1}, {5, 5, 0, 0}), 1);  // both normalised
    EXPECT_EQ(RectContains({1, 1, 6, 5}, {0, 0, 5, 5}), 0);
}

TEST(ReferenceLine, NumbersAreFittedAlongTheLine) {
    const Rect bound{0, 0, 200, 100};
    struct Case {
        const char* name;
        Point from, to;
        Rect box;  // for a 20 x 10 text
    };
    const Case cases[] = {
        {"horizontal: left of the left end", {50, 50}, {150, 50}, {30, 45, 50, 55}},
        {"horizontal: no room left, so right of the right end",
         {0, 50},
         {150, 50},
         {151, 45, 171, 55}},
        {"vertical: above the upper end", {100, 80}, {100, 30}, {90, 20, 110, 30}},
        {"vertical: no room above, so below the lower end", {100, 2}, {100, 80}, {90, 81, 110, 91}},
        {"rising line: left end, one pixel below it", {50, 60}, {150, 40}, {30, 61, 50, 71}},
        {"falling line: left end, centred on it", {50, 20}, {60, 80}, {30, 15, 50, 25}},
        // Neither end has room as it stands, nor the left box moved along the
        // line: the right box is moved down along it into the bound.
        {"moved along a steep line", {0, 99}, {10, 0}, {10, 0, 30, 10}},
        // Vertical line in the top-left corner: the box above the end is
        // moved straight down, no sideways shift.
        {"vertical line: moved straight down", {5, 2}, {5, 99}, {0, 0, 20, 10}},
        // A horizontal line whose boxes stick out at the top cannot be moved
        // along it: the last attempt's box is kept as it is.
        {"horizontal line: no vertical move", {0, 2}, {195, 2}, {196, -3, 216, 7}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CZEBOverlayReferenceLine::PlaceNumber(c.from, c.to, 20, 10, bound), c.box)
            << c.name;

    Rect box{-10, 5, 10, 15};
    EXPECT_EQ(FitLabelRect({0, 50}, {100, 0}, box, bound), 1);  // k = -0.5
    EXPECT_EQ(box, (Rect{0, 0, 20, 10}));
    box = {-10, -20, 10, -10};
    EXPECT_EQ(FitLabelRect({0, 50}, {0, 0}, box, bound), 1);  // vertical: straight shifts
    EXPECT_EQ(box, (Rect{0, 0, 20, 10}));
    box = {10, -20, 30, -10};
    EXPECT_EQ(FitLabelRect({0, 5}, {100, 5}, box, bound), 0);  // horizontal: gives up
    box = {10, -20, 30, -10};
    EXPECT_EQ(FitLabelRect({0, 0}, {1, 2000000000}, box, bound), 1);  // steep: tiny sideways shift
}

}  // namespace
