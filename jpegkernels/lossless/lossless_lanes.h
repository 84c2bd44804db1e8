#pragma once
// The row paths that the lossless rows of indexes 2 to 5 share in both
// directions: a row of predictor 1 to 7 goes to the index's own body for
// predictor 1, to eight lanes a step for predictors 2 and 3 (one row added
// to the row above when decoding, subtracted from it when encoding), and to
// the plain loops otherwise. Internal linkage: every level's translation
// unit compiles its own copy.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// True when the n 16-bit values at a and at b share a byte.
inline bool Overlap(const uint16_t* a, const uint16_t* b, int32_t n) {
    const uintptr_t bytes = 2 * static_cast<uintptr_t>(n);
    return Address(a) < Address(b) + bytes && Address(b) < Address(a) + bytes;
}

// a + b, or a - b with Subtract, modulo 2^16.
template <bool Subtract>
inline uint16_t Combine(uint16_t a, uint16_t b) {
    return static_cast<uint16_t>(Subtract ? a - b : a + b);
}

// output[i] = a[i] + b[i] (a[i] - b[i] with Subtract) for n values: single
// values until the output is 16-byte aligned, then eight lanes a step, then
// the rest.
template <bool Subtract>
inline void CombineRows(const uint16_t* a, const uint16_t* b, uint16_t* output, int32_t n) {
    int32_t i = 0;
    for (; i < n && (Address(output + i) & 15) != 0; ++i) output[i] = Combine<Subtract>(a[i], b[i]);
    for (; i + 8 <= n; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_store_si128(reinterpret_cast<__m128i*>(output + i), Subtract ? _mm_sub_epi16(x, y) : _mm_add_epi16(x, y));
    }
    for (; i < n; ++i) output[i] = Combine<Subtract>(a[i], b[i]);
}

// The lanes take over only for more than 6 columns, an even output address
// and an output apart from both inputs.
inline bool LanesApply(const uint16_t* a, const uint16_t* b, const uint16_t* output, int32_t n) {
    return n > 6 && (Address(output) & 1) == 0 && !Overlap(output, a, n) && !Overlap(output, b, n);
}

// A row after its checks: `row` is the differences (decoding) or the
// samples (encoding), `above` the row above; Predictor1 is the index's body
// for predictor 1, Scalar the plain loops of every predictor.
template <void (*Predictor1)(const uint16_t*, const uint16_t*, uint16_t*, int32_t),
          void (*Scalar)(const uint16_t*, const uint16_t*, uint16_t*, int32_t, int32_t), bool Subtract>
void PredictorRowLevel(const uint16_t* row, const uint16_t* above, uint16_t* output, int32_t count,
                       int32_t predictor) {
    if (predictor == 1) {
        Predictor1(row, above, output, count);
    } else if (predictor == 2 && LanesApply(row, above, output, count)) {
        CombineRows<Subtract>(row, above, output, count);
    } else if (predictor == 3 && LanesApply(row + 1, above, output + 1, count - 1)) {
        output[0] = Combine<Subtract>(row[0], above[0]);
        CombineRows<Subtract>(row + 1, above, output + 1, count - 1);
    } else {
        Scalar(row, above, output, count, predictor);
    }
}

}  // namespace
}  // namespace jpegkernels
