#include "Source/zebseriesorder.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>

bool ZEBSeriesOrder::NumbersSuffice(const std::vector<ZEBSeriesKey>& keys) {
    std::set<int32_t> numbers;
    for (const ZEBSeriesKey& k : keys)
        if (!k.hasNumber || !numbers.insert(k.number).second) return false;
    return true;
}

std::vector<size_t> ZEBSeriesOrder::Sort(const std::vector<ZEBSeriesKey>& keys, std::vector<double>& slice) {
    slice.assign(keys.size(), std::nan(""));
    const auto oriented = std::find_if(keys.begin(), keys.end(),
                                       [](const ZEBSeriesKey& k) { return k.hasOrientation; });
    if (oriented != keys.end()) {
        const double* r = oriented->orientation;
        const double* c = oriented->orientation + 3;
        const double normal[3] = {r[1] * c[2] - r[2] * c[1], r[2] * c[0] - r[0] * c[2],
                                  r[0] * c[1] - r[1] * c[0]};
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i].hasPosition)
                slice[i] = normal[0] * keys[i].position[0] + normal[1] * keys[i].position[1] +
                           normal[2] * keys[i].position[2];
    }
    std::vector<size_t> order(keys.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const ZEBSeriesKey &x = keys[a], &y = keys[b];
        if (x.hasNumber != y.hasNumber) return x.hasNumber;
        if (x.hasNumber && x.number != y.number) return x.number < y.number;
        const bool xAt = !std::isnan(slice[a]), yAt = !std::isnan(slice[b]);
        if (xAt != yAt) return xAt;
        if (xAt && slice[a] != slice[b]) return slice[a] < slice[b];
        return a < b;
    });
    return order;
}
