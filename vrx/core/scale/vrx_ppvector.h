#pragma once
// SSE2 line kernels of the fast area reductions: the same operations as
// projection::PlainLineKernels, eight or sixteen samples at a time, each
// sample summed in the same order and with the same arithmetic, so the
// results are identical. 8- and 16-bit samples with 32-bit Q12 or double
// sums have vector loops; 64-bit Q12 sums use the plain ones. SSE2 is part of
// every x86-64 processor, so no extra compiler flag is needed; the engines
// are chosen only when the processor reports it.
#include <cstdint>
#include <type_traits>

#include "vrx/core/scale/vrx_ppprojection.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vrx::projection {

#if defined(__SSE2__)

namespace sse2 {

// Samples per step: 16 bytes of source samples.
template <class T>
inline constexpr uint32_t kStep = 16 / sizeof(T);

// The samples of one step as 16-bit lanes (one or two vectors).
template <class T>
inline void load16(const T* p, __m128i lanes[2]) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if constexpr (sizeof(T) == 1) {
        const __m128i zero = _mm_setzero_si128();
        lanes[0] = _mm_unpacklo_epi8(v, zero);
        lanes[1] = _mm_unpackhi_epi8(v, zero);
    } else {
        lanes[0] = v;
    }
}

// Unsigned 16-bit lanes times w (0..65535) as eight 32-bit products.
inline void multiply16(__m128i x, __m128i w, __m128i& low, __m128i& high) {
    const __m128i lo = _mm_mullo_epi16(x, w);
    const __m128i hi = _mm_mulhi_epu16(x, w);
    low = _mm_unpacklo_epi16(lo, hi);
    high = _mm_unpackhi_epi16(lo, hi);
}

// Unsigned 16-bit lanes as eight 32-bit integers.
inline void widen16(__m128i x, __m128i& low, __m128i& high) {
    const __m128i zero = _mm_setzero_si128();
    low = _mm_unpacklo_epi16(x, zero);
    high = _mm_unpackhi_epi16(x, zero);
}

// Stores 32-bit lanes as samples of T, keeping their low bits.
template <class T>
inline void store(T* p, const __m128i* v) {
    if constexpr (sizeof(T) == 1) {
        const __m128i mask = _mm_set1_epi32(0xFF);
        const __m128i a = _mm_packs_epi32(_mm_and_si128(v[0], mask), _mm_and_si128(v[1], mask));
        const __m128i b = _mm_packs_epi32(_mm_and_si128(v[2], mask), _mm_and_si128(v[3], mask));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(a, b));
    } else {
        // Sign-extending the low 16 bits makes the saturating pack exact.
        const __m128i a = _mm_srai_epi32(_mm_slli_epi32(v[0], 16), 16);
        const __m128i b = _mm_srai_epi32(_mm_slli_epi32(v[1], 16), 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(a, b));
    }
}

}  // namespace sse2

template <class T, class S>
struct VectorLineKernels : PlainLineKernels<T, S> {};

// 32-bit Q12 sums.
template <class T>
struct VectorLineKernels<T, int32_t> {
    using Sum = int32_t;
    using Plain = PlainLineKernels<T, int32_t>;
    static constexpr uint32_t kStep = sse2::kStep<T>;

    template <bool Add>
    static void accumulate(int32_t* sum, const T* line, int32_t w, uint32_t n) {
        const __m128i wv = _mm_set1_epi16(static_cast<short>(w));
        uint32_t k = 0;
        for (; k + kStep <= n; k += kStep) {
            __m128i lanes[2];
            sse2::load16(line + k, lanes);
            for (uint32_t h = 0; h < kStep / 8; ++h) {
                __m128i p[2];
                sse2::multiply16(lanes[h], wv, p[0], p[1]);
                for (uint32_t q = 0; q < 2; ++q) {
                    auto* at = reinterpret_cast<__m128i*>(sum + k + 8 * h + 4 * q);
                    _mm_storeu_si128(at, Add ? _mm_add_epi32(_mm_loadu_si128(at), p[q]) : p[q]);
                }
            }
        }
        if (Add)
            Plain::add(sum + k, line + k, w, n - k);
        else
            Plain::set(sum + k, line + k, w, n - k);
    }
    static void set(int32_t* sum, const T* line, int32_t w, uint32_t n) {
        accumulate<false>(sum, line, w, n);
    }
    static void add(int32_t* sum, const T* line, int32_t w, uint32_t n) {
        accumulate<true>(sum, line, w, n);
    }

    // ((sum (x) inv) + 2048) >> 12 on non-negative sums; the fallback in
    // plain code.
    template <class C>
    static void finish(const Output<T, C>& out, const int32_t* sum, T* d, uint32_t n) {
        if (out.fallback) return Plain::finish(out, sum, d, n);
        const __m128i inv = _mm_set1_epi32(out.inv_q12);
        const __m128i half = _mm_set1_epi32(2048);
        uint32_t k = 0;
        for (; k + kStep <= n; k += kStep) {
            __m128i v[4];
            for (uint32_t q = 0; q < kStep / 4; ++q) {
                const __m128i s =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(sum + k + 4 * q));
                // 64-bit products of lanes 0, 2 and 1, 3, shifted by 12.
                const __m128i even = _mm_srli_epi64(_mm_mul_epu32(s, inv), 12);
                const __m128i odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(s, 32), inv), 12);
                const __m128i product = _mm_or_si128(
                    _mm_and_si128(even, _mm_set_epi32(0, -1, 0, -1)), _mm_slli_epi64(odd, 32));
                v[q] = _mm_srai_epi32(_mm_add_epi32(product, half), 12);
            }
            sse2::store(d + k, v);
        }
        Plain::finish(out, sum + k, d + k, n - k);
    }
};

// Double sums.
template <class T>
struct VectorLineKernels<T, double> {
    using Sum = double;
    using Plain = PlainLineKernels<T, double>;
    static constexpr uint32_t kStep = sse2::kStep<T>;

    template <bool Add>
    static void accumulate(double* sum, const T* line, double w, uint32_t n) {
        const __m128d wv = _mm_set1_pd(w);
        uint32_t k = 0;
        for (; k + kStep <= n; k += kStep) {
            __m128i lanes[2];
            sse2::load16(line + k, lanes);
            for (uint32_t h = 0; h < kStep / 8; ++h) {
                __m128i x[2];
                sse2::widen16(lanes[h], x[0], x[1]);
                for (uint32_t q = 0; q < 4; ++q) {
                    const __m128i pair = q % 2 == 0 ? x[q / 2] : _mm_srli_si128(x[q / 2], 8);
                    const __m128d product = _mm_mul_pd(_mm_cvtepi32_pd(pair), wv);
                    double* at = sum + k + 8 * h + 2 * q;
                    _mm_storeu_pd(at, Add ? _mm_add_pd(_mm_loadu_pd(at), product) : product);
                }
            }
        }
        if (Add)
            Plain::add(sum + k, line + k, w, n - k);
        else
            Plain::set(sum + k, line + k, w, n - k);
    }
    static void set(double* sum, const T* line, double w, uint32_t n) {
        accumulate<false>(sum, line, w, n);
    }
    static void add(double* sum, const T* line, double w, uint32_t n) {
        accumulate<true>(sum, line, w, n);
    }

    // truncate(sum / r + 0.5) by the truncating conversion.
    template <class C>
    static void finish(const Output<T, C>& out, const double* sum, T* d, uint32_t n) {
        const __m128d inv = _mm_set1_pd(out.inv);
        const __m128d half = _mm_set1_pd(0.5);
        uint32_t k = 0;
        for (; k + kStep <= n; k += kStep) {
            __m128i v[4];
            for (uint32_t q = 0; q < kStep / 4; ++q) {
                const double* at = sum + k + 4 * q;
                const __m128i a =
                    _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_loadu_pd(at), inv), half));
                const __m128i b =
                    _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_loadu_pd(at + 2), inv), half));
                v[q] = _mm_unpacklo_epi64(a, b);
            }
            sse2::store(d + k, v);
        }
        Plain::finish(out, sum + k, d + k, n - k);
    }
};

#else

template <class T, class S>
struct VectorLineKernels : PlainLineKernels<T, S> {};

#endif

}  // namespace vrx::projection
