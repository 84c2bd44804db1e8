#include "vrx/framework/include/vrx_numeric.h"

#include <climits>
#include <cmath>

namespace vrx {

bool is_equal(double a, double b, double eps) { return std::fabs(a - b) <= eps; }

int round_half_up(double x) {
    const double r = std::floor(x + 0.5);
    if (std::isnan(r)) return 0;
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

}  // namespace vrx
