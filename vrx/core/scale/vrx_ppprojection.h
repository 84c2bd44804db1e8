#pragma once
// What the area (pixel-projection) engines share. Destination sample i stands
// for the source interval [p_i, p_i + r), r = source size / destination size,
// p_0 = 0 and p_(i+1) = p_i + r accumulated in double. An enlargement (r < 1)
// copies the one source sample under the interval or blends the two it
// straddles; a reduction (r > 1) sums the samples under it, the two end ones
// weighted by the covered fraction, and divides by r.
//
// Weights and sums are double, or Q12 (VRX_FixedReal12) integers for 8-bit
// work. A Q12 reduction checks that the rounded inverse of r keeps a
// full-scale input within half a level of full scale and otherwise computes
// its results in double. Q12 sums run in 64 bits once the largest total
// weight x full scale x 4096 passes 31 bits; the results are those of the
// 32-bit sums wherever these do not wrap.
//
// The reduction of a line (width) and of a run of lines (height) are written
// once here, for the plain and the fast reduction engines alike; the fast
// engines pass vector kernels (vrx_ppvector.h) that keep every sample's
// order of summation, so both give the same images.
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx::projection {

template <class T>
inline constexpr int64_t kFullScale = std::numeric_limits<T>::max();

template <class C>
struct Coefficient;

template <>
struct Coefficient<double> {
    using Weight = double;
    static constexpr double one = 1.0;
    static double of(double x) { return x; }
};

template <>
struct Coefficient<VRX_FixedReal12> {
    using Weight = int32_t;
    static constexpr int32_t one = 4096;
    static int32_t of(double x) { return q12(x); }
};

// The Q12 product a (x) b = floor(a x b / 4096) of operands whose product
// fits 63 bits.
inline int64_t q12_product(int64_t a, int64_t b) { return (a * b) >> 12; }

// Whether Q12 arithmetic keeps a full-scale input of a sample with total
// weight `total` (Q12) within half a level of full scale:
// (total x M) (x) inv between (M - 1/2) x 4096 and (M + 1/2) x 4096. For the
// totals and inverses of a reduction the product stays below 2^60.
inline bool q12_keeps_full_scale(int64_t total, int64_t full_scale, int32_t inv) {
    const int64_t hi = q12_product(total * full_scale, inv);
    return hi > (2 * full_scale - 1) * 2048 && hi < (2 * full_scale + 1) * 2048;
}

// Whether Q12 sums of total weight up to `total` (Q12) need 64 bits.
template <class T>
bool needs_wide_sums(int64_t total) {
    return total * kFullScale<T> >= (int64_t{1} << 31);
}

// The accumulator type of a reduction: double, or 32- or 64-bit Q12 sums.
template <class C, bool Wide>
using Sum = std::conditional_t<std::is_same_v<C, double>, double,
                               std::conditional_t<Wide, int64_t, int32_t>>;

// Turns sums into samples. Double: truncate(sum / r + 0.5). Q12:
// ((sum (x) Q12(1 / r)) + 2048) >> 12, or, where the fallback test failed,
// truncate(sum / r / 4096 + 0.5) in double, held at full scale. Otherwise no
// clamping: the low bits of the result are stored (the weights of a sample
// add up to the ratio, so results stay in range).
template <class T, class C>
struct Output {
    double inv = 0;
    int32_t inv_q12 = 0;
    bool fallback = false;

    explicit Output(double ratio) : inv(1.0 / ratio), inv_q12(q12(1.0 / ratio)) {}

    template <class S>
    T operator()(S sum) const {
        if constexpr (std::is_same_v<C, double>) {
            return static_cast<T>(static_cast<int64_t>(sum * inv + 0.5));
        } else if (fallback) {
            // Rounded Q12 weights can add up to a little more than the ratio:
            // a 16-bit sample near full scale would pass it and wrap.
            const int64_t v = static_cast<int64_t>(static_cast<double>(sum) * inv / 4096.0 + 0.5);
            return static_cast<T>(v < kFullScale<T> ? v : kFullScale<T>);
        } else {
            return static_cast<T>((q12_product(sum, inv_q12) + 2048) >> 12);
        }
    }
};

// The blend of an enlargement that straddles two source samples: the earlier
// one weighted by w (its share of the interval), the later one by 1 - w.
template <class T>
T blend(T earlier, T later, double w) {
    return static_cast<T>(static_cast<int64_t>(later * (1.0 - w) + earlier * w + 0.5));
}
template <class T>
T blend(T earlier, T later, int32_t w) {
    return static_cast<T>((later * (4096 - w) + earlier * w + 2048) >> 12);
}

// ---------------------------------------------------------------------------
// Width reduction: per destination pixel the span of source pixels it
// touches and the weights of the first and the last of them.

template <class T, class C>
class WidthReduction {
public:
    using Weight = typename Coefficient<C>::Weight;

    // Tables for n destination pixels from lines of `width` pixels of
    // `channels` channels; false when the memory cannot be had.
    bool make(VRX_Manager* manager, uint32_t width, uint32_t n, uint32_t channels);
    void release(VRX_Manager* manager) {
        release_array(manager, span_);
        release_array(manager, weights_);
    }
    // One destination line from one source line.
    void line(const T* s, T* d) const;
    bool fallback() const { return output_.fallback; }
    const uint32_t* span() const { return span_; }
    const Weight* weights() const { return weights_; }
    uint32_t size() const { return n_; }
    uint32_t channels() const { return channels_; }
    const Output<T, C>& output() const { return output_; }

private:
    uint32_t* span_ = nullptr;
    Weight* weights_ = nullptr;
    uint32_t n_ = 0;
    uint32_t channels_ = 0;
    bool wide_ = false;
    Output<T, C> output_{1.0};
};

// The destination pixels of a line. CH is the channel count for the
// loops of 1, 3 and 4 channels (every channel summed in its own accumulator
// in one pass over the pixels), 0 for any count; all give the same values.
template <class S, uint32_t CH, class T, class C>
void reduce_pixels(const WidthReduction<T, C>& table, const T* s, T* d) {
    using Weight = typename Coefficient<C>::Weight;
    constexpr Weight one = Coefficient<C>::one;
    const uint32_t ch = CH != 0 ? CH : table.channels();
    const uint32_t* span = table.span();
    const Weight* weights = table.weights();
    const Output<T, C>& out = table.output();
    for (uint32_t i = 0; i < table.size(); ++i) {
        const uint32_t first = span[i], last = span[i + 1];
        const Weight fw = weights[2 * i], lw = weights[2 * i + 1];
        T* pixel = d + size_t{i} * ch;
        if constexpr (CH != 0) {
            S sum[CH];
            for (uint32_t c = 0; c < CH; ++c) sum[c] = static_cast<S>(s[first + c]) * fw;
            for (uint32_t k = first + CH; k < last; k += CH)
                for (uint32_t c = 0; c < CH; ++c) sum[c] += static_cast<S>(s[k + c]) * one;
            for (uint32_t c = 0; c < CH; ++c) {
                sum[c] += static_cast<S>(s[last + c]) * lw;
                pixel[c] = out(sum[c]);
            }
        } else {
            for (uint32_t c = 0; c < ch; ++c) {
                S sum = static_cast<S>(s[first + c]) * fw;
                for (uint32_t k = first + ch; k < last; k += ch)
                    sum += static_cast<S>(s[k + c]) * one;
                sum += static_cast<S>(s[last + c]) * lw;
                pixel[c] = out(sum);
            }
        }
    }
}

template <class T, class C>
bool WidthReduction<T, C>::make(VRX_Manager* manager, uint32_t width, uint32_t n,
                                uint32_t channels) {
    n_ = n;
    channels_ = channels;
    span_ = allocate_array<uint32_t>(manager, uint64_t{n} + 1);
    weights_ = allocate_array<Weight>(manager, uint64_t{n} * 2);
    if (!span_ || !weights_) return false;
    const double ratio = static_cast<double>(width) / static_cast<double>(n);
    double position = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t i0 = index_at(position, width - 1);
        span_[i] = i0 * channels;
        weights_[2 * i] = Coefficient<C>::of(i0 + 1.0 - position);
        position += ratio;
        weights_[2 * i + 1] = Coefficient<C>::of(position - std::trunc(position));
    }
    // The last destination pixel ends on the last source pixel, fully.
    span_[n] = (width - 1) * channels;
    weights_[2 * n - 1] = Coefficient<C>::one;
    output_ = Output<T, C>(ratio);
    if constexpr (!std::is_same_v<C, double>) {
        // The largest total weight of one destination pixel, from 0.
        int64_t most = 0;
        for (uint32_t i = 0; i < n; ++i) {
            const int64_t whole = (int64_t{span_[i + 1]} - span_[i]) / channels - 1;
            const int64_t total = whole * 4096 + weights_[2 * i] + weights_[2 * i + 1];
            if (total > most) most = total;
        }
        output_.fallback = !q12_keeps_full_scale(most, kFullScale<T>, output_.inv_q12);
        wide_ = needs_wide_sums<T>(most);
    }
    return true;
}

template <class T, class C>
void WidthReduction<T, C>::line(const T* s, T* d) const {
    by_channel_count(channels_, [&](auto layout) {
        constexpr uint32_t CH = decltype(layout)::value;
        if (wide_)
            reduce_pixels<Sum<C, true>, CH>(*this, s, d);
        else
            reduce_pixels<Sum<C, false>, CH>(*this, s, d);
    });
}

// The width engines' execute: one source line in, one destination line out;
// true only when both buffers take their release.
template <class T, class C>
bool reduce_one_line(const WidthReduction<T, C>& table, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                     uint32_t dst_line_bytes) {
    const T* s = reinterpret_cast<const T*>(src->get());
    if (!s) return false;
    T* d = reinterpret_cast<T*>(dst->get());
    if (!d) {
        src->release();
        return false;
    }
    table.line(s, d);
    const bool released = src->release();
    const bool committed = dst->release(dst_line_bytes);
    return released && committed;
}

// ---------------------------------------------------------------------------
// Height reduction: one destination line is the weighted sum of the source
// lines its interval covers. The first line may be the last one of the
// previous interval, still in the line buffer.

// Line operations over n samples, in plain code. The fast engines pass
// kernels with the same interface.
template <class T, class S>
struct PlainLineKernels {
    using Sum = S;
    template <class W>
    static void set(S* sum, const T* line, W w, uint32_t n) {
        for (uint32_t k = 0; k < n; ++k) sum[k] = static_cast<S>(line[k]) * w;
    }
    template <class W>
    static void add(S* sum, const T* line, W w, uint32_t n) {
        for (uint32_t k = 0; k < n; ++k) sum[k] += static_cast<S>(line[k]) * w;
    }
    template <class C>
    static void finish(const Output<T, C>& out, const S* sum, T* d, uint32_t n) {
        for (uint32_t k = 0; k < n; ++k) d[k] = out(sum[k]);
    }
};

template <class T, class C>
class HeightReduction {
public:
    using Weight = typename Coefficient<C>::Weight;

    // Sums for lines of `samples` samples and a reduction by `ratio`; false
    // when the memory cannot be had.
    bool make(VRX_Manager* manager, uint32_t samples, double ratio) {
        samples_ = samples;
        ratio_ = ratio;
        output_ = Output<T, C>(ratio);
        // A line's total weight is the ratio (to a rounding): one more bounds it.
        if constexpr (!std::is_same_v<C, double>) wide_ = needs_wide_sums<T>(q12_wide(ratio + 1.0));
        const uint64_t bytes = uint64_t{samples} * (wide_ ? 8 : sizeof(Sum<C, false>));
        sums_ = allocate_array<unsigned char>(manager, bytes);
        return sums_ != nullptr;
    }
    void release(VRX_Manager* manager) { release_array(manager, sums_); }

    // One destination line into d. `buffer` holds the last source line read;
    // `position` (the start of the interval, in lines) and `read` (source
    // lines read) carry from line to line. False when a source line cannot
    // be had.
    template <template <class, class> class Kernels>
    bool line(VRX_SrcBuffer* src, T* buffer, uint32_t src_height, double& position, uint32_t& read,
              T* d) {
        if (wide_)
            return sum_lines<Kernels<T, Sum<C, true>>>(src, buffer, src_height, position, read, d);
        return sum_lines<Kernels<T, Sum<C, false>>>(src, buffer, src_height, position, read, d);
    }

private:
    template <class K>
    bool sum_lines(VRX_SrcBuffer* src, T* buffer, uint32_t src_height, double& position,
                   uint32_t& read, T* d);

    unsigned char* sums_ = nullptr;
    uint32_t samples_ = 0;
    double ratio_ = 0;
    bool wide_ = false;
    Output<T, C> output_{1.0};
};

// Copies the next source line into `buffer`; false when there is none.
template <class T>
bool read_line(VRX_SrcBuffer* src, T* buffer, uint32_t& read) {
    if (!src->get(buffer) || !src->release()) return false;
    ++read;
    return true;
}

template <class T, class C>
template <class K>
bool HeightReduction<T, C>::sum_lines(VRX_SrcBuffer* src, T* buffer, uint32_t src_height,
                                      double& position, uint32_t& read, T* d) {
    using S = typename K::Sum;
    constexpr Weight one = Coefficient<C>::one;
    S* sum = reinterpret_cast<S*>(sums_);
    const uint32_t n = samples_;
    const double end = position + ratio_;
    const uint32_t i0 = static_cast<uint32_t>(position), i1 = static_cast<uint32_t>(end);
    if (read <= i0 && read < src_height && !read_line(src, buffer, read)) return false;
    // The total weight of the line (Q12 forms: for the fallback test).
    Sum<C, true> covered = 0;
    if (static_cast<double>(i0) == position) {
        K::set(sum, buffer, one, n);
        covered = one;
    } else {
        const Weight f = Coefficient<C>::of(std::ceil(position) - position);
        K::set(sum, buffer, f, n);
        covered = f;
    }
    for (uint32_t j = i0 + 1; j < i1 && read < src_height; ++j) {
        if (!read_line(src, buffer, read)) return false;
        K::add(sum, buffer, one, n);
        covered += one;
    }
    // The part of the last line; when the source is used up it is left out.
    if (static_cast<double>(i1) < end && read < src_height) {
        if (!read_line(src, buffer, read)) return false;
        const Weight g = Coefficient<C>::of(end - i1);
        K::add(sum, buffer, g, n);
        covered += g;
    }
    Output<T, C> out = output_;
    if constexpr (!std::is_same_v<C, double>)
        out.fallback = !q12_keeps_full_scale(covered, kFullScale<T>, out.inv_q12);
    K::finish(out, sum, d, n);
    position = end;
    return true;
}

}  // namespace vrx::projection
