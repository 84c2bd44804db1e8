#pragma once
// The one-dimensional butterfly of the scaled integer inverse DCT (Arai,
// Agui and Nakajima), written once for every lane type: a scalar that wraps
// in 32 bits and the SSE2 vector of four such scalars. M(v, k) is
// (v x k) >> 8 with a 32-bit product and an arithmetic shift.

namespace jpegdec {

template <class V>
inline void AanButterfly(const V& x0, const V& x1, const V& x2, const V& x3, const V& x4,
                         const V& x5, const V& x6, const V& x7, V* y) {
    const V t10 = x0 + x4, t11 = x0 - x4, t13 = x2 + x6;
    const V t12 = M(x2 - x6, 362) - t13;
    const V e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
    const V z13 = x5 + x3, z10 = x5 - x3, z11 = x1 + x7, z12 = x1 - x7;
    const V o7 = z11 + z13;
    const V u11 = M(z11 - z13, 362);
    const V z5 = M(z10 + z12, 473);
    const V u10 = M(z12, 277) - z5;
    const V u12 = M(z10, -669) + z5;
    const V o6 = u12 - o7;
    const V o5 = u11 - o6;
    const V o4 = u10 + o5;
    y[0] = e0 + o7;
    y[7] = e0 - o7;
    y[1] = e1 + o6;
    y[6] = e1 - o6;
    y[2] = e2 + o5;
    y[5] = e2 - o5;
    y[4] = e3 + o4;
    y[3] = e3 - o4;
}

}  // namespace jpegdec
