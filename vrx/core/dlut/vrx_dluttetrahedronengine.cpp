#include "vrx/core/dlut/vrx_dluttetrahedronengine.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/include/vrx_numeric.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

template <class W>
constexpr bool kInteger = std::is_integral_v<W>;

// Sorts the indices in order[0 .. n - 1] by f, largest first (insertion
// sort: n is at most four here).
template <class W>
inline void sort_descending(const W* f, uint32_t* order, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) order[i] = i;
    for (uint32_t i = 1; i < n; ++i) {
        const uint32_t k = order[i];
        uint32_t j = i;
        for (; j > 0 && f[order[j - 1]] < f[k]; --j) order[j] = order[j - 1];
        order[j] = k;
    }
}

}  // namespace

template <class S, class W>
bool VRX_DLutTetrahedronEngine<S, W>::terminate() {
    manager_->deallocate(fraction_);
    fraction_ = nullptr;
    return VRX_DLutEngine::terminate();
}

template <class S, class W>
bool VRX_DLutTetrahedronEngine<S, W>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                               VRX_DstBuffer* dst, uint16_t bits, uint16_t outputs,
                                               uint16_t grid, uint8_t first_slowest,
                                               const void* table, const VRX_ColorType* color_type) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_DLutTetrahedronEngine::initiate()", __FILE__,
                       64))
        return false;
    if (!VRX_DLutEngine::initiate(header, src, dst, bits, outputs, grid, first_slowest, table,
                                  color_type))
        return false;
    fraction_ = static_cast<W*>(manager_->allocate(sizeof(W) * (size_t{max_} + 1)));
    if (!fraction_) return false;
    if constexpr (kInteger<W>) {
        shift_ = 14;
        one_ = 16384;
        rounding_ = 8192;
    } else {
        shift_ = 0;
        one_ = 1.0;
        rounding_ = 0.5;
    }
    for (uint32_t s = 0; s < max_; ++s) {
        const double x = s * scale_;
        cell_[s] = static_cast<uint32_t>(std::floor(x));
        const double f = x - cell_[s];
        if constexpr (kInteger<W>)
            fraction_[s] = static_cast<W>(round_half_up(f * 16384));
        else
            fraction_[s] = f;
    }
    cell_[max_] = grid_ - 2;
    fraction_[max_] = one_;
    if (inputs_ > 4) return order_pairs_.resize(inputs_);
    return true;
}

template <class S, class W>
void VRX_DLutTetrahedronEngine<S, W>::order_simplex_vertices(const W* f, uint32_t* order) {
    const uint32_t n = inputs_;
    if (n <= 4) {
        sort_descending(f, order, n);
        return;
    }
    if (order_pairs_.size() < n) {
        sort_descending(f, order, n);
        return;
    }
    for (uint32_t i = 0; i < n; ++i) order_pairs_[i] = {static_cast<uint16_t>(i), f[i]};
    std::sort(order_pairs_.begin(), order_pairs_.begin() + n,
              [](const auto& a, const auto& b) { return a.second > b.second; });
    for (uint32_t i = 0; i < n; ++i) order[i] = order_pairs_[i].first;
}

// One pixel: the base vertex of its cell, the vertices reached by stepping
// along the inputs in order of falling fraction, and per output channel the
// weighted sum of the N + 1 vertices' samples.
template <class S, class W>
inline void VRX_DLutTetrahedronEngine<S, W>::interpolate_pixel(const S* in, S* out, uint32_t n,
                                                               uint32_t* order, W* f) {
    const S* table = reinterpret_cast<const S*>(table_);
    size_t base = 0;
    for (uint32_t i = 0; i < n; ++i) {
        base += size_t{stride_[i]} * cell_[in[i]];
        f[i] = fraction_[in[i]];
    }
    if (n <= 4)
        sort_descending(f, order, n);
    else
        order_simplex_vertices(f, order);
    size_t vertex[kMaxChannels + 1];
    W weight[kMaxChannels + 1];
    vertex[0] = base;
    weight[0] = one_ - f[order[0]];
    for (uint32_t k = 1; k <= n; ++k) {
        vertex[k] = vertex[k - 1] + stride_[order[k - 1]];
        weight[k] = k < n ? f[order[k - 1]] - f[order[k]] : f[order[n - 1]];
    }
    for (uint32_t c = 0; c < outputs_; ++c) {
        W acc = rounding_;
        for (uint32_t k = 0; k <= n; ++k) acc += table[vertex[k] + c] * weight[k];
        if constexpr (kInteger<W>) {
            const W v = acc >> shift_;
            out[c] = static_cast<S>(v > max_ ? max_ : v);
        } else {
            out[c] = static_cast<S>(acc > max_ ? max_ : acc);
        }
    }
}

template <class S, class W>
template <uint32_t N>
void VRX_DLutTetrahedronEngine<S, W>::interpolate_line(const S* in, S* out) {
    uint32_t order[N];
    W f[N];
    const uint32_t m = outputs_;
    for (uint32_t x = 0; x < header_.width; ++x, in += N, out += m)
        interpolate_pixel(in, out, N, order, f);
}

// Three inputs without sorting: the first vertex past the base steps along
// the input of the largest fraction, the second stops short of the far
// corner by the input of the smallest, and the weights are the differences
// of the largest, middle and smallest fractions. Where fractions tie, the
// vertex left open carries a weight of 0, so the result is the sorted one.
template <class S, class W>
void VRX_DLutTetrahedronEngine<S, W>::interpolate_line3(const S* in, S* out) {
    // Members in locals: the stores to `out` would make the compilers
    // reload them for every pixel.
    const S* const table = reinterpret_cast<const S*>(table_);
    const uint32_t* const cell = cell_;
    const W* const fraction = fraction_;
    const uint32_t s0 = stride_[0], s1 = stride_[1], s2 = stride_[2];
    const size_t far = size_t{s0} + s1 + s2;
    const uint32_t m = outputs_, width = header_.width, max = max_;
    const W one = one_, rounding = rounding_;
    // a where `take`, else b, as a mask so that nothing branches.
    auto pick = [](bool take, uint32_t a, uint32_t b) {
        const uint32_t mask = 0u - static_cast<uint32_t>(take);
        return (a & mask) | (b & ~mask);
    };
    for (uint32_t x = 0; x < width; ++x, in += 3, out += m) {
        const size_t base =
            size_t{s0} * cell[in[0]] + size_t{s1} * cell[in[1]] + size_t{s2} * cell[in[2]];
        const W f0 = fraction[in[0]], f1 = fraction[in[1]], f2 = fraction[in[2]];
        const bool up12 = f1 >= f2, down12 = f1 <= f2;
        const W top12 = up12 ? f1 : f2, bottom12 = down12 ? f1 : f2;
        const bool top0 = f0 >= top12, bottom0 = f0 <= bottom12;
        const W hi = top0 ? f0 : top12;
        const W lo = bottom0 ? f0 : bottom12;
        const W mid = top0 ? top12 : (bottom0 ? bottom12 : f0);
        const uint32_t s_hi = pick(top0, s0, pick(up12, s1, s2));
        const uint32_t s_lo = pick(bottom0, s0, pick(down12, s1, s2));
        const S* v0 = table + base;
        const S* v1 = v0 + s_hi;
        const S* v2 = v0 + (far - s_lo);
        const S* v3 = v0 + far;
        const W w0 = one - hi, w1 = hi - mid, w2 = mid - lo, w3 = lo;
        for (uint32_t c = 0; c < m; ++c) {
            W acc = rounding;
            acc += v0[c] * w0;
            acc += v1[c] * w1;
            acc += v2[c] * w2;
            acc += v3[c] * w3;
            if constexpr (kInteger<W>) {
                const W v = acc >> 14;
                out[c] = static_cast<S>(v > max ? max : v);
            } else {
                out[c] = static_cast<S>(acc > max ? max : acc);
            }
        }
    }
}

template <class S, class W>
bool VRX_DLutTetrahedronEngine<S, W>::process_line(const unsigned char* src, unsigned char* dst) {
    const S* in = reinterpret_cast<const S*>(src);
    S* out = reinterpret_cast<S*>(dst);
    switch (inputs_) {
        case 1:
            interpolate_line<1>(in, out);
            break;
        case 2:
            interpolate_line<2>(in, out);
            break;
        case 3:
            interpolate_line3(in, out);
            break;
        case 4:
            interpolate_line<4>(in, out);
            break;
        default: {
            uint32_t order[kMaxChannels];
            W f[kMaxChannels];
            for (uint32_t x = 0; x < header_.width; ++x, in += inputs_, out += outputs_)
                interpolate_pixel(in, out, inputs_, order, f);
        }
    }
    return true;
}

template class VRX_DLutTetrahedronEngine<uint8_t, uint32_t>;
template class VRX_DLutTetrahedronEngine<uint16_t, double>;

}  // namespace vrx
