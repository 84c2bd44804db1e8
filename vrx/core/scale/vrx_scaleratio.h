#pragma once
// Whether a scaling ratio is a whole number, as the two-axis front ends test
// it before they take a whole-step shortcut.
#include <cstdint>

#include "vrx/framework/include/vrx_numeric.h"

namespace vrx {

// 2^-52: how far a ratio may be from an integer and still count as whole.
inline constexpr double kWholeRatio = 2.220446049250313e-16;

// Whether source / target is a whole number; its value in `step`. A target
// of 0 never is (no infinite ratio is converted).
inline bool whole_ratio(uint32_t source, uint32_t target, uint32_t& step) {
    if (target == 0) return false;
    const double ratio = static_cast<double>(source) / static_cast<double>(target);
    const int rounded = round_half_up(ratio);
    step = static_cast<uint32_t>(rounded);
    return rounded > 0 && is_equal(ratio, rounded, kWholeRatio);
}

}  // namespace vrx
