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
                                               const void* table,
                                               const VRX_ColorType* color_type) {
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
            interpolate_line<3>(in, out);
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
