#include "vrx/core/scale/vrx_scalewidthiarengine.h"

#include "vrx/core/scale/vrx_scaleiarsupport.h"
#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {
namespace {

// Destination pixels of CH channels (0: the count given) from blocks of
// `ratio` source pixels.
template <class S, uint32_t CH, class T>
void average_line(const T* s, T* d, uint32_t n, uint32_t channels, uint32_t ratio,
                  uint32_t shift) {
    const uint32_t ch = CH != 0 ? CH : channels;
    const size_t block = size_t{ratio} * ch;
    for (uint32_t x = 0; x < n; ++x, s += block, d += ch)
        for (uint32_t c = 0; c < ch; ++c) {
            S sum = 0;
            for (size_t k = c; k < block; k += ch) sum += s[k];
            d[c] = static_cast<T>(averaging::mean(sum, ratio, shift));
        }
}

template <class S, class T>
void average_line(const T* s, T* d, uint32_t n, uint32_t channels, uint32_t ratio,
                  uint32_t shift) {
    switch (channels) {
        case 1:
            return average_line<S, 1>(s, d, n, channels, ratio, shift);
        case 3:
            return average_line<S, 3>(s, d, n, channels, ratio, shift);
        case 4:
            return average_line<S, 4>(s, d, n, channels, ratio, shift);
        default:
            return average_line<S, 0>(s, d, n, channels, ratio, shift);
    }
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
    if (averaging::needs_wide_sums(ratio_))
        average_line<uint64_t>(s, d, dst_width_, channels_, ratio_, shift_);
    else
        average_line<uint32_t>(s, d, dst_width_, channels_, ratio_, shift_);
    const bool released = src_buffer_->release();
    const bool committed = dst_buffer_->release(dst_line_bytes_);
    return released && committed;
}

template class VRX_ScaleWidthIAREngine<unsigned char>;
template class VRX_ScaleWidthIAREngine<unsigned short>;

}  // namespace vrx
