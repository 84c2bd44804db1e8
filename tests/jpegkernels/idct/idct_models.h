#pragma once
// Scalar models of row 13, written out from the arithmetic rules with no
// shared code with the kernels.
#include <algorithm>
#include <array>
#include <cstdint>

namespace jpegkernels::testing {

using Block = std::array<int16_t, 64>;

inline int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }
inline int16_t Low16(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(v))); }
inline int16_t Sat16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767)); }

// Generic build: saturating dequantisation, columns then rows.
inline Block GenericModel(const Block& coefficients, const Block& table) {
    Block b;
    for (int i = 0; i < 64; ++i) b[i] = Sat16(int64_t{coefficients[i]} * table[i]);
    auto transform = [&](int first, int stride, int64_t rounding, int shift) {
        int64_t x[8];
        for (int j = 0; j < 8; ++j) x[j] = b[first + j * stride];
        const int32_t t = Wrap(27246 * (x[3] + x[5]));
        const int32_t a = Wrap(int64_t{t} - 9041 * x[5]);
        const int32_t bb = Wrap(int64_t{t} - 45451 * x[3]);
        const int32_t u = Wrap(6393 * (x[1] + x[7]));
        const int32_t c = Wrap(int64_t{u} + 25746 * x[1]);
        const int32_t d = Wrap(int64_t{u} - 38531 * x[7]);
        const int32_t e = Wrap(int64_t{c} - a), f = Wrap(int64_t{d} - bb);
        const int32_t g = Wrap(int64_t{a} + c + 2048) >> 12;
        const int32_t h = Wrap(int64_t{bb} + d + 2048) >> 12;
        const int32_t p = Wrap(int64_t{e} + f), q = Wrap(int64_t{e} - f);
        const int32_t s0 = Wrap(32768 * (x[0] + x[4])), s1 = Wrap(32768 * (x[0] - x[4]));
        const int32_t v = Wrap(17734 * (x[2] + x[6]));
        const int32_t w2 = Wrap(int64_t{v} + 25080 * x[2]), w6 = Wrap(int64_t{v} - 60547 * x[6]);
        const int32_t A = Wrap(int64_t{s0} + w2), D = Wrap(int64_t{s0} - w2);
        const int32_t B = Wrap(int64_t{s1} + w6), C = Wrap(int64_t{s1} - w6);
        auto out = [&](int64_t s) { return Low16(Wrap(s + rounding) >> shift); };
        const int32_t G = Wrap(5793 * int64_t{g}), H = Wrap(5793 * int64_t{h});
        const int16_t y[8] = {out(Wrap(int64_t{A} + G)), out(Wrap(int64_t{B} + p)), out(Wrap(int64_t{C} + q)),
                              out(Wrap(int64_t{D} + H)), out(Wrap(int64_t{D} - H)), out(Wrap(int64_t{C} - q)),
                              out(Wrap(int64_t{B} - p)), out(Wrap(int64_t{A} - G))};
        for (int j = 0; j < 8; ++j) b[first + j * stride] = y[j];
    };
    for (int col = 0; col < 8; ++col) transform(col, 8, 2048, 12);
    for (int row = 0; row < 8; ++row) transform(8 * row, 1, 1 << 20, 21);
    return b;
}

// Processor builds: wrapping dequantisation, rows then columns with
// saturation.
inline Block ProcessorModel(const Block& coefficients, const Block& table) {
    static const int32_t kW[4][8] = {
        // W(0) unused, W(1)..W(7)
        {0, 22725, 21407, 19266, 16384, 12873, 8867, 4520},
        {0, 31521, 29692, 26722, 22725, 17855, 12299, 6270},
        {0, 29692, 27969, 25172, 21407, 16819, 11585, 5906},
        {0, 26722, 25172, 22654, 19266, 15137, 10426, 5315},
    };
    static const int kPair[8] = {0, 1, 2, 3, 0, 3, 2, 1};
    static const int32_t kRound[8] = {65536, 2901, 2260, 1704, 1024, 455, 512, 373};
    Block b;
    for (int i = 0; i < 64; ++i) b[i] = Low16(int32_t{coefficients[i]} * table[i]);
    Block m;
    for (int r = 0; r < 8; ++r) {
        const int32_t* W = kW[kPair[r]];
        int64_t x[8];
        for (int j = 0; j < 8; ++j) x[j] = b[8 * r + j];
        const int32_t a[4] = {
            Wrap(W[4] * x[0] + W[2] * x[2] + W[4] * x[4] + W[6] * x[6] + kRound[r]),
            Wrap(W[4] * x[0] + W[6] * x[2] - W[4] * x[4] - W[2] * x[6] + kRound[r]),
            Wrap(W[4] * x[0] - W[6] * x[2] - W[4] * x[4] + W[2] * x[6] + kRound[r]),
            Wrap(W[4] * x[0] - W[2] * x[2] + W[4] * x[4] - W[6] * x[6] + kRound[r]),
        };
        const int32_t bb[4] = {
            Wrap(W[1] * x[1] + W[3] * x[3] + W[5] * x[5] + W[7] * x[7]),
            Wrap(W[3] * x[1] - W[7] * x[3] - W[1] * x[5] - W[5] * x[7]),
            Wrap(W[5] * x[1] - W[1] * x[3] + W[7] * x[5] + W[3] * x[7]),
            Wrap(W[7] * x[1] - W[5] * x[3] + W[3] * x[5] - W[1] * x[7]),
        };
        for (int k = 0; k < 4; ++k) {
            m[8 * r + k] = Sat16(Wrap(int64_t{a[k]} + bb[k]) >> 11);
            m[8 * r + 7 - k] = Sat16(Wrap(int64_t{a[k]} - bb[k]) >> 11);
        }
    }
    auto adds = [](int32_t x, int32_t y) { return int32_t{Sat16(int64_t{x} + y)}; };
    auto subs = [](int32_t x, int32_t y) { return int32_t{Sat16(int64_t{x} - y)}; };
    auto mulhi = [](int32_t x, int32_t c) { return (x * c) >> 16; };
    const int32_t T1 = 13036, T2 = 27146, T3 = -21746, C4 = -19195;
    Block out;
    for (int c = 0; c < 8; ++c) {
        int32_t R[8];
        for (int i = 0; i < 8; ++i) R[i] = m[8 * i + c];
        const int32_t u = adds(adds(mulhi(R[5], T3), R[5]), R[3]);
        const int32_t v = subs(R[5], adds(mulhi(R[3], T3), R[3]));
        const int32_t z = adds(mulhi(R[7], T1), R[1]);
        const int32_t w = subs(mulhi(R[1], T1), R[7]);
        const int32_t b0 = adds(u, z), d = subs(z, u);
        const int32_t b3 = adds(w, v), g = subs(w, v);
        const int32_t s = adds(d, g), b1 = adds(s, mulhi(s, C4));
        const int32_t s2 = subs(d, g), b2 = adds(s2, mulhi(s2, C4));
        const int32_t e = adds(mulhi(R[6], T2), R[2]), f = subs(mulhi(R[2], T2), R[6]);
        const int32_t tp = adds(R[4], R[0]), tm = subs(R[0], R[4]);
        const int32_t a0 = adds(tp, e), a3 = subs(tp, e), a1 = adds(tm, f), a2 = subs(tm, f);
        const int32_t y[8] = {adds(a0, b0), adds(a1, b1), adds(a2, b2), adds(a3, b3),
                              subs(a3, b3), subs(a2, b2), subs(a1, b1), subs(a0, b0)};
        for (int i = 0; i < 8; ++i) out[8 * i + c] = static_cast<int16_t>(y[i] >> 6);
    }
    return out;
}

}  // namespace jpegkernels::testing
