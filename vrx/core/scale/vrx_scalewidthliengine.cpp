#include "vrx/core/scale/vrx_scalewidthliengine.h"

#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {
namespace {

// Offset and weight of every destination pixel, packed in one word.
struct PackedEntries {
    const int32_t* entries;
    uint32_t offset(uint32_t i) const { return static_cast<uint32_t>(entries[i] >> 12); }
    int32_t weight(uint32_t i) const { return entries[i] & 0xFFF; }
};

// The same for wide lines, offsets in a table of their own.
struct SplitEntries {
    const uint32_t* offsets;
    const int32_t* weights;
    uint32_t offset(uint32_t i) const { return offsets[i]; }
    int32_t weight(uint32_t i) const { return weights[i]; }
};

// One destination line of n pixels from the padded source line. CH is the
// channel count for the pixel-by-pixel loops of 1, 3 and 4 channels, 0 for
// the loop that walks the line channel by channel; all give the same values.
template <bool Unsigned, uint32_t CH, class T, class Entries>
void interpolate_line(const T* padded, T* out, const Entries& e, uint32_t n, uint32_t channels) {
    if constexpr (CH != 0) {
        // left x (4096 - w) + right x w, formed as left x 4096 + (right -
        // left) x w: one multiplication.
        for (uint32_t i = 0; i < n; ++i, out += CH) {
            const T* left = padded + e.offset(i);
            const int32_t w = e.weight(i);
            for (uint32_t c = 0; c < CH; ++c)
                out[c] = static_cast<T>(
                    round_q12<Unsigned>(left[c] * 4096 + (left[CH + c] - left[c]) * w));
        }
    } else {
        for (uint32_t c = 0; c < channels; ++c)
            for (uint32_t i = 0; i < n; ++i) {
                const T* left = padded + e.offset(i) + c;
                const int32_t w = e.weight(i);
                out[size_t{i} * channels + c] =
                    static_cast<T>(round_q12<Unsigned>(left[0] * (4096 - w) + left[channels] * w));
            }
    }
}

}  // namespace

template <class T, class C>
bool VRX_ScaleWidthLIEngine<T, C>::terminate() {
    release_array(manager_, entries_);
    release_array(manager_, offsets_);
    release_array(manager_, padded_);
    return VRX_ScaleWidthEngine::terminate();
}

template <class T, class C>
bool VRX_ScaleWidthLIEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthLIEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 317)) return false;
    if (!VRX_ScaleWidthEngine::initiate(header, src, dst, width)) return false;
    if (!is_integer_input<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 327);
        return false;
    }
    const uint32_t ch = channels_;
    const uint64_t last = src_width_;  // one-based index of the last source pixel
    padded_ = allocate_array<T>(manager_, (last + 2) * ch);
    entries_ = allocate_array<int32_t>(manager_, width);
    const bool wide = (last + 1) * ch >= kPackedLimit;
    if (wide) offsets_ = allocate_array<uint32_t>(manager_, width);
    if (!padded_ || !entries_ || (wide && !offsets_)) return false;

    // One-based positions: source pixel k (zero-based) is centred at k + 1,
    // positions 0 and width + 1 are the repeated edge pixels.
    const double r = static_cast<double>(src_width_) / static_cast<double>(width);
    double p = (r + 1.0) * 0.5;
    for (uint32_t i = 0; i < width; ++i, p += r) {
        const uint32_t j = index_at(p, src_width_);
        // At the last pixel both neighbours are the same sample.
        const int64_t fraction = j == src_width_ ? 0 : q12_wide(p) - int64_t{4096} * j;
        // A fraction that rounds up to a whole sample takes the next sample
        // with weight 0: the weight 4096 is never stored.
        const uint64_t offset = uint64_t{fraction == 4096 ? j + 1u : j} * ch;
        const int32_t weight = fraction == 4096 ? 0 : static_cast<int32_t>(fraction);
        if (wide) {
            offsets_[i] = static_cast<uint32_t>(offset);
            entries_[i] = weight;
        } else {
            entries_[i] = static_cast<int32_t>(offset << 12) + weight;
        }
    }
    unsigned_ = header->data_type()->is_u_integer();
    return true;
}

template <class T, class C>
bool VRX_ScaleWidthLIEngine<T, C>::execute() {
    const uint32_t ch = channels_;
    T* line = padded_ + ch;
    if (!src_buffer_->get(line)) return false;
    const size_t end = size_t{src_width_} * ch;
    for (uint32_t c = 0; c < ch; ++c) {
        padded_[c] = line[c];
        line[end + c] = line[end - ch + c];
    }
    T* out = reinterpret_cast<T*>(dst_buffer_->get());
    if (!out) {
        src_buffer_->release();
        return false;
    }
    auto run = [&](const auto& entries) {
        by_channel_count(ch, [&](auto layout) {
            constexpr uint32_t CH = decltype(layout)::value;
            if (unsigned_)
                interpolate_line<true, CH>(padded_, out, entries, dst_width_, ch);
            else
                interpolate_line<false, CH>(padded_, out, entries, dst_width_, ch);
        });
    };
    if (offsets_)
        run(SplitEntries{offsets_, entries_});
    else
        run(PackedEntries{entries_});
    const bool released = src_buffer_->release();
    const bool committed = dst_buffer_->release(dst_line_bytes_);
    return released && committed;
}

template class VRX_ScaleWidthLIEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleWidthLIEngine<unsigned short, VRX_FixedReal12>;
template class VRX_ScaleWidthLIEngine<char, VRX_FixedReal12>;
template class VRX_ScaleWidthLIEngine<short, VRX_FixedReal12>;

}  // namespace vrx
