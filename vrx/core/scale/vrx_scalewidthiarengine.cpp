#include "vrx/core/scale/vrx_scalewidthiarengine.h"

#include "vrx/core/scale/vrx_scaleiarsupport.h"
#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {
namespace {

// Destination pixels of CH channels from blocks of R source pixels (0: the
// counts given); the mean by a shift or by a division. Fixed counts let the
// compiler unroll and vectorize the common cases.
template <class S, uint32_t R, uint32_t CH, bool Shift, class T>
void average_line(const T* __restrict s, T* __restrict d, uint32_t n, uint32_t channels,
                  uint32_t ratio, uint32_t shift) {
    const uint32_t ch = CH != 0 ? CH : channels;
    const uint32_t r = R != 0 ? R : ratio;
    // Constant shifts for the fixed ratios 2 and 4.
    const uint32_t k = R == 2 ? 1 : R == 4 ? 2 : shift;
    const S half = static_cast<S>(r / 2);
    for (uint32_t x = 0; x < n; ++x)
        for (uint32_t c = 0; c < ch; ++c) {
            S sum = 0;
            for (uint32_t j = 0; j < r; ++j) sum = S(sum + s[(size_t{x} * r + j) * ch + c]);
            d[size_t{x} * ch + c] = static_cast<T>(Shift ? S(sum + half) >> k : S(sum + half) / r);
        }
}

template <class S, uint32_t R, bool Shift, class T>
void average_line(const T* s, T* d, uint32_t n, uint32_t channels, uint32_t ratio, uint32_t shift) {
    by_channel_count(channels, [&](auto layout) {
        average_line<S, R, decltype(layout)::value, Shift>(s, d, n, channels, ratio, shift);
    });
}

template <class T>
void average_line(const T* s, T* d, uint32_t n, uint32_t channels, uint32_t ratio, uint32_t shift) {
    averaging::with_sum_type<T>(ratio, [&]<class S>(S) {
        switch (ratio) {
            case 2:
                return average_line<S, 2, true>(s, d, n, channels, ratio, shift);
            case 3:
                return average_line<S, 3, false>(s, d, n, channels, ratio, shift);
            case 4:
                return average_line<S, 4, true>(s, d, n, channels, ratio, shift);
            default:
                if (shift != 0) return average_line<S, 0, true>(s, d, n, channels, ratio, shift);
                return average_line<S, 0, false>(s, d, n, channels, ratio, shift);
        }
    });
}

}  // namespace

template <class T>
bool VRX_ScaleWidthIAREngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                          VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthIAREngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 116)) return false;
    if (!VRX_ScaleWidthEngine::initiate(header, src, dst, width)) return false;
    if (!is_supported_unsigned<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 128);
        return false;
    }
    ratio_ = src_width_ / width;
    // A width above the source's leaves no whole block.
    if (ratio_ == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 131);
        return false;
    }
    shift_ = averaging::shift_of(ratio_);
    return true;
}

template <class T>
bool VRX_ScaleWidthIAREngine<T>::execute() {
    const T* s = reinterpret_cast<const T*>(src_buffer_->get());
    if (!s) return false;
    T* d = reinterpret_cast<T*>(dst_buffer_->get());
    if (!d) {
        src_buffer_->release();
        return false;
    }
    average_line(s, d, dst_width_, channels_, ratio_, shift_);
    const bool released = src_buffer_->release();
    const bool committed = dst_buffer_->release(dst_line_bytes_);
    return released && committed;
}

template class VRX_ScaleWidthIAREngine<unsigned char>;
template class VRX_ScaleWidthIAREngine<unsigned short>;

}  // namespace vrx
