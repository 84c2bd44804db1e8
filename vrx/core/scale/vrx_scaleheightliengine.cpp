#include "vrx/core/scale/vrx_scaleheightliengine.h"

#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/utility/vrx_ringbufferoutlinecopy.h"

namespace vrx {
namespace {

// out = rounding(upper x (4096 - w) + lower x w). For 8-bit samples the same
// sum is formed as upper x 4096 + (lower - upper) x w, whose product fits
// 16-bit operands and vectorizes well.
template <bool Unsigned, class T>
void mix_lines(const T* __restrict upper, const T* __restrict lower, int32_t w, T* __restrict out,
               uint32_t samples) {
    if constexpr (sizeof(T) == 1) {
        const int16_t w16 = static_cast<int16_t>(w);
        for (uint32_t s = 0; s < samples; ++s) {
            const int16_t step = static_cast<int16_t>(lower[s] - upper[s]);
            out[s] = static_cast<T>(round_q12<Unsigned>(upper[s] * 4096 + int32_t{step} * w16));
        }
    } else {
        const int32_t v = 4096 - w;
        for (uint32_t s = 0; s < samples; ++s)
            out[s] = static_cast<T>(round_q12<Unsigned>(upper[s] * v + lower[s] * w));
    }
}

}  // namespace

template <class T, class C>
bool VRX_ScaleHeightLIEngine<T, C>::terminate() {
    vrx::destroy(ring_);
    ring_ = nullptr;
    return VRX_ScaleHeightEngine::terminate();
}

template <class T, class C>
bool VRX_ScaleHeightLIEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightLIEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 181)) return false;
    if (!VRX_ScaleHeightEngine::initiate(header, src, dst, height)) return false;
    if (!is_integer_input<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 191);
        return false;
    }
    samples_ = line_bytes_ / sizeof(T);
    // One-based positions: line k (zero-based) is centred at k + 1.
    position_ = (ratio_ + 1.0) * 0.5;
    // Three lines, the middle one current, no margins.
    ring_ = VRX_RingBufferOutlineCopy::create(manager_, src, header, VRX_KernelAttr{1, 3, 0, 1});
    if (!ring_) return false;
    unsigned_ = header->data_type()->is_u_integer();
    return true;
}

template <class T, class C>
bool VRX_ScaleHeightLIEngine<T, C>::execute() {
    if (produced_ >= dst_height_) return false;
    ++produced_;
    // After n updates the ring holds one-based lines n - 1, n and n + 1.
    const uint32_t nearest = static_cast<uint32_t>(position_ + 0.5);
    for (; consumed_ < nearest; ++consumed_)
        if (!ring_->update()) return false;
    T* out = reinterpret_cast<T*>(dst_buffer_->get());
    if (!out) return false;
    const uint32_t j = static_cast<uint32_t>(position_);
    const bool below_half = j == nearest;
    const T* upper = reinterpret_cast<const T*>(ring_->line(below_half ? 1 : 0));
    const T* lower = reinterpret_cast<const T*>(ring_->line(below_half ? 2 : 1));
    const int32_t w = q12(position_ - j);
    if (unsigned_)
        mix_lines<true>(upper, lower, w, out, samples_);
    else
        mix_lines<false>(upper, lower, w, out, samples_);
    position_ += ratio_;
    return dst_buffer_->release(line_bytes_);
}

template class VRX_ScaleHeightLIEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleHeightLIEngine<unsigned short, VRX_FixedReal12>;
template class VRX_ScaleHeightLIEngine<char, VRX_FixedReal12>;
template class VRX_ScaleHeightLIEngine<short, VRX_FixedReal12>;

}  // namespace vrx
