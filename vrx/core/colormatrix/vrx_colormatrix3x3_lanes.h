#pragma once
// The steps the vector kernels of the Q12 3 x 3 matrix share, written once
// over the operations of one instruction set (Ops). Included only by the
// kernel files, each built with its own instruction-set flag and passing its
// own Ops.
//
// Every 128-bit lane handles 16 pixels (48 bytes) on its own: byte shuffles
// gather the R, G and B planes, the samples widen to 16 bits as (R, G) and
// (B, 0) pairs, 16-bit multiply-adds against (m0, m1) and (m2, 0) give exact
// 32-bit products, the constant (with the rounding term 2048) is added, the
// sum shifted right by 12, and saturating packs clamp it to 0 .. 255 before
// the planes are shuffled back into pixels.
#include <cstddef>
#include <cstdint>

namespace vrx::detail {

// Ops: V (the vector), kPixels (pixels a step), zero(), set1(int32),
// lanes(const int8_t[16]) (the 16 bytes in every lane), load(in, b) and
// store(out, b, v) (bytes 16 b .. 16 b + 15 of each lane's 48), shuffle,
// or_, the unpacks of 8 and 16 bits, madd, add, sra12, packs32, packus16.
template <class Ops>
size_t colormatrix3x3_lanes(const uint8_t* in, uint8_t* out, size_t width, const int16_t m[9],
                            const int32_t k[3]) {
    using V = typename Ops::V;
    struct Masks {
        V from[3][3];  // [plane][block]: every third byte from the plane's first
        V to[3][3];    // [block][plane]: the planes back into pixels
        Masks() {
            int8_t bytes[16];
            for (int c = 0; c < 3; ++c)
                for (int b = 0; b < 3; ++b) {
                    for (int j = 0; j < 16; ++j) {
                        const int source = 3 * j + c - 16 * b;
                        bytes[j] = static_cast<int8_t>(source >= 0 && source < 16 ? source : -1);
                    }
                    from[c][b] = Ops::lanes(bytes);
                    for (int j = 0; j < 16; ++j) {
                        const int byte = 16 * b + j;
                        bytes[j] = static_cast<int8_t>(byte % 3 == c ? byte / 3 : -1);
                    }
                    to[b][c] = Ops::lanes(bytes);
                }
        }
    };
    static const Masks masks;
    const V zero = Ops::zero();
    V rg[3], b0[3], kk[3];
    for (int r = 0; r < 3; ++r) {
        rg[r] = Ops::set1(static_cast<int32_t>(static_cast<uint16_t>(m[3 * r]) |
                                               uint32_t{static_cast<uint16_t>(m[3 * r + 1])} << 16));
        b0[r] = Ops::set1(static_cast<uint16_t>(m[3 * r + 2]));
        kk[r] = Ops::set1(k[r] + 2048);
    }
    const size_t steps = width / Ops::kPixels;
    for (size_t i = 0; i < steps; ++i, in += 3 * Ops::kPixels, out += 3 * Ops::kPixels) {
        const V block[3] = {Ops::load(in, 0), Ops::load(in, 1), Ops::load(in, 2)};
        V plane[3];
        for (int p = 0; p < 3; ++p)
            plane[p] = Ops::or_(Ops::or_(Ops::shuffle(block[0], masks.from[p][0]),
                                         Ops::shuffle(block[1], masks.from[p][1])),
                                Ops::shuffle(block[2], masks.from[p][2]));
        const V r_lo = Ops::unpacklo8(plane[0], zero), r_hi = Ops::unpackhi8(plane[0], zero);
        const V g_lo = Ops::unpacklo8(plane[1], zero), g_hi = Ops::unpackhi8(plane[1], zero);
        const V b_lo = Ops::unpacklo8(plane[2], zero), b_hi = Ops::unpackhi8(plane[2], zero);
        const V pairs[4] = {Ops::unpacklo16(r_lo, g_lo), Ops::unpackhi16(r_lo, g_lo),
                            Ops::unpacklo16(r_hi, g_hi), Ops::unpackhi16(r_hi, g_hi)};
        const V blue[4] = {Ops::unpacklo16(b_lo, zero), Ops::unpackhi16(b_lo, zero),
                           Ops::unpacklo16(b_hi, zero), Ops::unpackhi16(b_hi, zero)};
        V result[3];
        for (int r = 0; r < 3; ++r) {
            V q[4];
            for (int n = 0; n < 4; ++n)
                q[n] = Ops::sra12(Ops::add(
                    Ops::add(Ops::madd(pairs[n], rg[r]), Ops::madd(blue[n], b0[r])), kk[r]));
            result[r] = Ops::packus16(Ops::packs32(q[0], q[1]), Ops::packs32(q[2], q[3]));
        }
        for (int b = 0; b < 3; ++b)
            Ops::store(out, b,
                       Ops::or_(Ops::or_(Ops::shuffle(result[0], masks.to[b][0]),
                                         Ops::shuffle(result[1], masks.to[b][1])),
                                Ops::shuffle(result[2], masks.to[b][2])));
    }
    return steps * Ops::kPixels;
}

}  // namespace vrx::detail
