#include "vrx/core/convertdatatype/vrx_pixelmath.h"

#include <climits>
#include <cmath>

namespace vrx {

int round_to_int(double x) {
    if (std::isnan(x)) return 0;
    const double r = std::trunc(x >= 0 ? x + 0.5 : x - 0.5);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

}  // namespace vrx
