#pragma once
// Small numeric helpers of the pixel code.
#include <cfloat>

namespace vrx {

// True when |a - b| <= eps; false when larger or when an operand is not a number.
bool is_equal(double a, double b, double eps = DBL_EPSILON);

// The nearest integer with halves rounded up: floor(x + 0.5), clamped to the
// range of int; a value that is not a number gives 0.
int round_half_up(double x);

}  // namespace vrx
