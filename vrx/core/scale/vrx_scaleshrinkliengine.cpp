#include "vrx/core/scale/vrx_scaleshrinkliengine.h"

#include <cmath>

#include "vrx/core/scale/vrx_scaleratio.h"
#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {
namespace {

// The left (upper) neighbour of a zero-based position and the Q12 weight of
// the right (lower) one. A position past the next to last sample (the
// accumulation can pass it on very long axes) takes the last sample.
void neighbour(double position, uint32_t size, uint32_t& index, int32_t& weight) {
    const uint32_t last_pair = size - 2;
    if (position >= static_cast<double>(last_pair) + 1.0) {
        index = last_pair;
        weight = 4096;
        return;
    }
    index = static_cast<uint32_t>(position);
    weight = static_cast<int32_t>(q12_wide(position) - int64_t{4096} * index);
}

}  // namespace

template <class T, class C>
bool VRX_ScaleShrinkLIEngine<T, C>::terminate() {
    release_array(manager_, offsets_);
    release_array(manager_, fractions_);
    return VRX_ProcessEngine::terminate();
}

template <class T, class C>
bool VRX_ScaleShrinkLIEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst, uint32_t width, uint32_t height) {
    constexpr const char* text = "VRX_ScaleShrinkLIEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 420)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (!is_integer_input<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 430);
        return false;
    }
    // Both axes must shrink: then every position has a right and a lower
    // neighbour inside the image.
    if (width == 0 || height == 0 || width >= header->width || height >= header->height) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 437);
        return false;
    }
    header_.width = width;
    header_.height = height;
    uint32_t src_line_bytes = 0;
    if (!header->line_bytes(src_line_bytes) || !header_.line_bytes(dst_line_bytes_)) return false;

    const double rx = static_cast<double>(header->width) / static_cast<double>(width);
    const double ry = static_cast<double>(header->height) / static_cast<double>(height);
    src_height_ = header->height;
    dst_height_ = height;
    dst_width_ = width;
    channels_ = header->channels;
    y_ratio_ = ry;
    y_position_ = ry * 0.5 - 0.5;
    offsets_ = allocate_array<uint32_t>(manager_, width);
    fractions_ = allocate_array<int32_t>(manager_, width);
    if (!offsets_ || !fractions_) return false;
    double x = rx * 0.5 - 0.5;
    for (uint32_t i = 0; i < width; ++i, x += rx) {
        uint32_t j = 0;
        neighbour(x, header->width, j, fractions_[i]);
        offsets_[i] = j * channels_;
    }
    // The shortcut tests the column ratio taken to 1/4096.
    const double quantised = std::trunc(4096.0 * rx) / 4096.0;
    const int n = round_half_up(ry), m = round_half_up(quantised);
    if (is_equal(ry, n, kWholeRatio) && is_equal(quantised, m, kWholeRatio) && n % 2 == 0 &&
        m % 2 == 0)
        even_step_ = static_cast<uint32_t>(m);
    unsigned_ = header->data_type()->is_u_integer();
    const bool src_ok = src->block_bytes(src_line_bytes);
    const bool dst_ok = dst->block_bytes(dst_line_bytes_);
    return src_ok && dst_ok;
}

template <class T, class C>
template <bool Unsigned>
void VRX_ScaleShrinkLIEngine<T, C>::mean_line(T* out) const {
    const uint32_t ch = channels_, m = even_step_;
    const size_t first = size_t{m / 2 - 1} * ch;
    for (uint32_t c = 0; c < ch; ++c)
        for (uint32_t i = 0; i < dst_width_; ++i) {
            const size_t k = first + size_t{i} * m * ch + c;
            const int32_t s = upper_[k] + upper_[k + ch] + lower_[k] + lower_[k + ch];
            out[size_t{i} * ch + c] =
                static_cast<T>(Unsigned || s > 0 ? (s + 2) >> 2 : (s + 1) >> 2);
        }
}

template <class T, class C>
template <bool Unsigned>
void VRX_ScaleShrinkLIEngine<T, C>::interpolate_line(T* out, int32_t fy) const {
    const uint32_t ch = channels_;
    const T* up = upper_;
    const T* lo = lower_;
    if (ch == 1) {
        // The y weight is applied after mixing in x.
        for (uint32_t i = 0; i < dst_width_; ++i) {
            const uint32_t o = offsets_[i];
            const int32_t wx = fractions_[i];
            const int32_t a = up[o], b = up[o + 1], c = lo[o], d = lo[o + 1];
            const int32_t t = ((d - c) - (b - a)) * wx + (c - a) * 4096;
            const int32_t v = a * 4096 + (b - a) * wx + VRX_FixedReal12::multiply(t, fy);
            out[i] = static_cast<T>(round_q12<Unsigned>(v));
        }
        return;
    }
    // The four weights are quantised first.
    for (uint32_t i = 0; i < dst_width_; ++i, out += ch) {
        const uint32_t o = offsets_[i];
        const int32_t wx = fractions_[i];
        const int32_t wd = VRX_FixedReal12::multiply(wx, fy);
        const int32_t wa = 4096 - wx - fy + wd, wb = wx - wd, wc = fy - wd;
        for (uint32_t k = 0; k < ch; ++k) {
            const int32_t v =
                up[o + k] * wa + up[o + ch + k] * wb + lo[o + k] * wc + lo[o + ch + k] * wd;
            out[k] = static_cast<T>(round_q12<Unsigned>(v));
        }
    }
}

template <class T, class C>
bool VRX_ScaleShrinkLIEngine<T, C>::execute() {
    if (written_ >= dst_height_) return false;
    ++written_;
    if (written_ == 1) {
        upper_ = reinterpret_cast<const T*>(src_buffer_->get());
        if (!upper_) return false;
        lower_ = reinterpret_cast<const T*>(src_buffer_->get());
        if (!lower_) return false;
        upper_index_ = 0;
    }
    uint32_t y0 = 0;
    int32_t fy = 0;
    neighbour(y_position_, src_height_, y0, fy);
    // Slide the two-line window down: the old upper line goes back.
    while (upper_index_ < y0) {
        upper_ = lower_;
        if (!src_buffer_->release()) return false;
        lower_ = reinterpret_cast<const T*>(src_buffer_->get());
        if (!lower_) return false;
        ++upper_index_;
    }
    T* out = reinterpret_cast<T*>(dst_buffer_->get());
    if (!out) return false;
    if (even_step_ != 0) {
        if (unsigned_)
            mean_line<true>(out);
        else
            mean_line<false>(out);
    } else if (unsigned_) {
        interpolate_line<true>(out, fy);
    } else {
        interpolate_line<false>(out, fy);
    }
    y_position_ += y_ratio_;
    if (written_ == dst_height_ && (!src_buffer_->release() || !src_buffer_->release()))
        return false;
    return dst_buffer_->release(dst_line_bytes_);
}

template class VRX_ScaleShrinkLIEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleShrinkLIEngine<unsigned short, VRX_FixedReal12>;
template class VRX_ScaleShrinkLIEngine<char, VRX_FixedReal12>;
template class VRX_ScaleShrinkLIEngine<short, VRX_FixedReal12>;

}  // namespace vrx
