#pragma once
// The steps of row 12 (widening, zig-zag reordering, reciprocal division)
// and the checked 16-bit zero-fill, over the helpers of one level.
// Internal linkage: every level's translation unit compiles its own copy.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/memory/memory_access.h"
#include "jpegkernels/zigzag_order.h"

namespace jpegkernels {
namespace {

// Element i of a 16-bit array at any byte address (the quantisers take
// destinations at odd addresses).
inline uint16_t Element16(const void* base, int64_t i) { return Get16(static_cast<const uint8_t*>(base) + 2 * i); }
inline void SetElement16(void* base, int64_t i, int32_t v) {
    Put16(static_cast<uint8_t*>(base) + 2 * i, static_cast<uint16_t>(v));
}

// Zeroes count 16-bit elements; the byte count is formed in 64 bits and
// handed to the level's zero-fill in pieces it can take. From
// StreamFrom elements on (0: never) the streaming fill runs instead.
template <void* (*Zero)(void*, int32_t), void* (*Streaming)(void*, int32_t), int32_t StreamFrom>
inline KernelStatus Zero16Checked(int16_t* destination, int32_t count) {
    if (destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    void* (*fill)(void*, int32_t) = Zero;
    if constexpr (Streaming != nullptr) {
        if (count >= StreamFrom) fill = Streaming;
    }
    uint8_t* p = reinterpret_cast<uint8_t*>(destination);
    for (int64_t bytes = 2 * static_cast<int64_t>(count); bytes > 0;) {
        const int32_t piece = static_cast<int32_t>(bytes < 0x40000000 ? bytes : 0x40000000);
        fill(p, piece);
        p += piece;
        bytes -= piece;
    }
    return kKernelOk;
}

// The widening of a rectangle: checks, then one row for a contiguous
// rectangle (with the non-temporal flag above `contiguousAbove` values), or
// row by row (the flag from `otherFrom` values with rows wider than 512).
// Row(source, destination, count, nonTemporal) converts one row.
template <class Row>
inline KernelStatus WidenRectangle(const uint8_t* source, int32_t sourceStep, uint16_t* destination,
                                   int32_t destinationStep, int32_t width, int32_t height, int64_t contiguousAbove,
                                   int64_t otherFrom, Row row) {
    if (source == nullptr || destination == nullptr) return kKernelNullPointer;
    if (width < 1 || height < 1) return kKernelSizeBelowOne;
    if (sourceStep < 1 || destinationStep < 1) return kKernelRowStepBelowOne;
    const int64_t area = static_cast<int64_t>(width) * height;
    if (static_cast<int64_t>(destinationStep) == 2 * static_cast<int64_t>(sourceStep) && sourceStep == width) {
        row(source, destination, area, area > contiguousAbove);
        return kKernelOk;
    }
    const bool nonTemporal = area >= otherFrom && width > 512;
    for (int64_t y = 0; y < height; ++y) {
        row(source + y * sourceStep,
            reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(destination) + y * destinationStep), width,
            nonTemporal);
    }
    return kKernelOk;
}

// destination[k] = source[kNaturalToZigzag[k]], Step entries a pass.
template <int Step>
inline KernelStatus ReorderZigzag(const uint16_t* source, uint16_t* destination) {
    if (source == nullptr || destination == nullptr) return kKernelNullPointer;
    for (int k = 0; k < 64; k += Step) {
        for (int i = 0; i < Step; ++i) destination[k + i] = source[kNaturalToZigzag[k + i]];
    }
    return kKernelOk;
}

// The checks and the value-0 case shared by every division build: -8, -6,
// or for value 0 a zeroed destination and 6 when a divisor is 0. Returns 1
// when the division proper must run.
template <KernelStatus (*Zero16)(int16_t*, int32_t)>
inline KernelStatus DivisionPrologue(const uint16_t* source, uint16_t value, uint16_t* destination, int32_t count) {
    if (source == nullptr || destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    if (value != 0) return 1;
    bool zeroDivisor = false;
    for (int32_t i = 0; i < count; ++i) zeroDivisor = zeroDivisor || source[i] == 0;
    Zero16(reinterpret_cast<int16_t*>(destination), count);
    return zeroDivisor ? kKernelZeroQuantiser : kKernelOk;
}

// Integer division: round(value / x) to nearest with ties to even, from the
// quotient of value x 65536 by x.
template <KernelStatus (*Zero16)(int16_t*, int32_t)>
inline KernelStatus DivideInteger(const uint16_t* source, uint16_t value, uint16_t* destination, int32_t count) {
    if (KernelStatus s = DivisionPrologue<Zero16>(source, value, destination, count); s != 1) return s;
    const uint32_t numerator = static_cast<uint32_t>(value) << 16;
    KernelStatus status = kKernelOk;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t x = source[i];
        if (x == 0) {
            destination[i] = 0xFFFF;
            status = kKernelZeroQuantiser;
            continue;
        }
        const uint32_t q = numerator / x;
        destination[i] = static_cast<uint16_t>((q + 0x7FFF + 2 * ((q >> 16) & 1)) >> 16);
    }
    return status;
}

// Single-precision division, rounded to nearest with ties to even by the
// conversion: one element at a time up to a 16-byte boundary of the
// destination and at the end, eight lanes a step in between (divisors of 0
// marked and taken as 1; lanes packed with signed saturation, so that a
// value above 32767 is stored itself for a divisor of 1).
template <KernelStatus (*Zero16)(int16_t*, int32_t)>
inline KernelStatus DivideSingle(const uint16_t* source, uint16_t value, uint16_t* destination, int32_t count) {
    if (KernelStatus s = DivisionPrologue<Zero16>(source, value, destination, count); s != 1) return s;
    const float v = static_cast<float>(value);
    bool zeroDivisor = false;
    auto one = [&](int32_t i) {
        const uint16_t x = source[i];
        if (x == 0) {
            destination[i] = 0xFFFF;
            zeroDivisor = true;
        } else {
            destination[i] = static_cast<uint16_t>(
                _mm_cvtss_si32(_mm_div_ss(_mm_set_ss(v), _mm_set_ss(static_cast<float>(x)))));
        }
    };
    int32_t i = 0;
    for (; i < count && (Address(destination + i) & 15) != 0; ++i) one(i);
    const __m128 numerator = _mm_set1_ps(v);
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(1), self = _mm_set1_epi16(static_cast<int16_t>(value));
    __m128i zeroLanes = zero;
    for (; i + 8 <= count; i += 8) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        const __m128i isZero = _mm_cmpeq_epi16(x, zero);
        const __m128i isOne = _mm_cmpeq_epi16(x, ones);
        zeroLanes = _mm_or_si128(zeroLanes, isZero);
        x = _mm_or_si128(x, _mm_and_si128(isZero, ones));
        const __m128i lo = _mm_cvtps_epi32(_mm_div_ps(numerator, _mm_cvtepi32_ps(_mm_unpacklo_epi16(x, zero))));
        const __m128i hi = _mm_cvtps_epi32(_mm_div_ps(numerator, _mm_cvtepi32_ps(_mm_unpackhi_epi16(x, zero))));
        __m128i q = _mm_packs_epi32(lo, hi);
        if (value > 32767) q = _mm_or_si128(_mm_andnot_si128(isOne, q), _mm_and_si128(isOne, self));
        _mm_store_si128(reinterpret_cast<__m128i*>(destination + i), _mm_or_si128(q, isZero));
    }
    for (; i < count; ++i) one(i);
    return zeroDivisor || _mm_movemask_epi8(zeroLanes) != 0 ? kKernelZeroQuantiser : kKernelOk;
}

// Row 12 over the three steps of a level.
template <KernelStatus (*Widen)(const uint8_t*, int32_t, uint16_t*, int32_t, int32_t, int32_t),
          KernelStatus (*Reorder)(const uint16_t*, uint16_t*), KernelStatus (*DivideInPlace)(uint16_t, uint16_t*, int32_t)>
inline KernelStatus PrepareQuantTable(const uint8_t* zigzagTable, uint16_t* reciprocals) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::QuantTableInit>::Run(zigzagTable, reciprocals); s != kKernelOk) {
        return s;
    }
    alignas(16) uint16_t work[64];
    if (KernelStatus s = Widen(zigzagTable, 8, work, 16, 8, 8); s != kKernelOk) return s;
    if (KernelStatus s = Reorder(work, reciprocals); s != kKernelOk) return s;
    return DivideInPlace(32768, reciprocals, 64);
}

}  // namespace
}  // namespace jpegkernels
