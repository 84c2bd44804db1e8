#include "vrx/core/dib/vrx_writediboption.h"

#include <cmath>

namespace vrx {

VRX_WriteDIBOption::VRX_WriteDIBOption(uint32_t compression, double x_dots_per_inch,
                                       double y_dots_per_inch, uint32_t bits_per_pixel)
    : compression(compression),
      x_resolution(pixels_per_metre(x_dots_per_inch)),
      y_resolution(pixels_per_metre(y_dots_per_inch)),
      bits_per_pixel(bits_per_pixel) {}

int32_t VRX_WriteDIBOption::pixels_per_metre(double dots_per_inch) {
    const double value = std::trunc(dots_per_inch * 39.37007874015748);
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace vrx
