// The order of a series: Instance Number, then the position along the slice
// normal, then the directory's order.
#include "Source/zebseriesorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

struct Image {
    std::optional<int32_t> number;
    std::optional<double> along;  // the position along the orientation's normal
};

TEST(SeriesOrder, NumbersThenPositionsThenDirectoryOrder) {
    const double axial[6] = {1, 0, 0, 0, 1, 0}, sagittal[6] = {0, 1, 0, 0, 0, -1};
    struct Case {
        const char* name;
        std::vector<Image> images;
        const double* orientation;  // of every image; null: none
        std::vector<size_t> order;
        bool numbersSuffice;
    };
    const Case cases[] = {
        {"distinct numbers", {{3, 0}, {1, 9}, {2, 5}}, axial, {1, 2, 0}, true},
        {"ties by position", {{2, 10}, {1, 5}, {2, 0}, {1, 20}}, axial, {1, 3, 2, 0}, false},
        {"absent numbers after the numbered, by position", {{{}, 30}, {1, 0}, {{}, 10}}, axial, {1, 2, 0}, false},
        {"no position last", {{{}, {}}, {{}, 5}, {{}, 1}}, axial, {2, 1, 0}, false},
        {"no orientation: directory order", {{{}, 3}, {{}, 1}, {{}, 2}}, nullptr, {0, 1, 2}, false},
        {"along a sagittal normal", {{{}, 4}, {{}, -2}, {{}, 0}}, sagittal, {1, 2, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ZEBSeriesKey> keys;
        for (const Image& i : c.images) {
            ZEBSeriesKey k;
            k.hasNumber = i.number.has_value();
            k.number = i.number.value_or(0);
            if (c.orientation) {
                k.hasOrientation = true;
                std::copy(c.orientation, c.orientation + 6, k.orientation);
                // A position `along` the normal, off it by an in-plane shift.
                const double* r = c.orientation;
                const double* col = c.orientation + 3;
                const double n[3] = {r[1] * col[2] - r[2] * col[1], r[2] * col[0] - r[0] * col[2],
                                     r[0] * col[1] - r[1] * col[0]};
                for (int a = 0; a < 3; ++a) k.position[a] = i.along.value_or(0) * n[a] + 7 * r[a];
            } else {
                k.position[2] = i.along.value_or(0);
            }
            k.hasPosition = i.along.has_value();
            keys.push_back(k);
        }
        std::vector<double> slice;
        EXPECT_EQ(ZEBSeriesOrder::Sort(keys, slice), c.order);
        EXPECT_EQ(ZEBSeriesOrder::NumbersSuffice(keys), c.numbersSuffice);
        for (size_t i = 0; i < keys.size(); ++i)
            if (c.orientation && c.images[i].along)
                EXPECT_NEAR(slice[i], *c.images[i].along, 1e-9);
            else
                EXPECT_TRUE(std::isnan(slice[i]));
    }
}

}  // namespace
