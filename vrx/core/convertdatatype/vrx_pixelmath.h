#pragma once
// Small integer and rounding functions of the pixel stages.
#include <cstdint>

#include "platform/byte_count.h"

namespace vrx {

// base to the power exponent by repeated unsigned 32-bit multiplication (so
// it wraps silently); 1 for exponent 0. For table sizes that must not wrap,
// use int_pow_count.
constexpr uint32_t int_pow(uint32_t base, uint32_t exponent) {
    uint32_t result = 1;
    for (uint32_t i = 0; i < exponent; ++i) result *= base;
    return result;
}

// The same power as a checked count: not ok() once the value passes 64 bits.
constexpr platform::ByteCount int_pow_count(uint32_t base, uint32_t exponent) {
    platform::ByteCount result(1);
    for (uint32_t i = 0; i < exponent && result.ok(); ++i) result = result * base;
    return result;
}

// The nearest int, halves away from zero: trunc(x + 0.5) for x >= 0,
// trunc(x - 0.5) below. Values beyond the range of int give its limits; a
// value that is not a number gives 0.
int round_to_int(double x);

}  // namespace vrx
