#include "vrx/core/scale/vrx_scalewidthppeengine.h"

#include <cmath>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleWidthPPEEngine<T, C>::terminate() {
    release_array(this->manager_, span_);
    release_array(this->manager_, weights_);
    return VRX_ScaleWidthPPEngine<T, C>::terminate();
}

template <class T, class C>
bool VRX_ScaleWidthPPEEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthPPEEngine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 160)) return false;
    if (!VRX_ScaleWidthPPEngine<T, C>::initiate(header, src, dst, width)) return false;
    // An interval of a pixel or more would have to blend more than two pixels.
    if (width <= header->width) {
        this->manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 164);
        return false;
    }
    span_ = allocate_array<uint32_t>(this->manager_, width);
    weights_ = allocate_array<Weight>(this->manager_, width);
    if (!span_ || !weights_) return false;
    constexpr Weight one = projection::Coefficient<C>::one;
    const uint32_t ch = this->channels_, last = this->src_width_ - 1;
    const double r = this->ratio_;
    double position = 0;
    for (uint32_t i = 0; i + 1 < width; ++i, position += r) {
        const uint32_t i0 = static_cast<uint32_t>(position);
        const uint32_t i1 = static_cast<uint32_t>(position + r);
        // The last source pixel has no later one to blend with.
        const bool straddles = i0 != i1 && i0 < last;
        span_[i] = (i0 < last ? i0 : last) * ch;
        weights_[i] =
            straddles ? projection::Coefficient<C>::of((std::ceil(position) - position) / r) : one;
    }
    span_[width - 1] = last * ch;
    weights_[width - 1] = one;
    return true;
}

template <class T, class C>
bool VRX_ScaleWidthPPEEngine<T, C>::execute() {
    const T* s = reinterpret_cast<const T*>(this->src_buffer_->get());
    if (!s) return false;
    T* d = reinterpret_cast<T*>(this->dst_buffer_->get());
    if (!d) {
        this->src_buffer_->release();
        return false;
    }
    constexpr Weight one = projection::Coefficient<C>::one;
    const uint32_t ch = this->channels_;
    for (uint32_t i = 0; i < this->dst_width_; ++i) {
        const T* a = s + span_[i];
        const Weight w = weights_[i];
        // The later pixel is read only when it takes part.
        if (w == one)
            for (uint32_t c = 0; c < ch; ++c) *d++ = a[c];
        else
            for (uint32_t c = 0; c < ch; ++c) *d++ = projection::blend(a[c], a[ch + c], w);
    }
    const bool released = this->src_buffer_->release();
    const bool committed = this->dst_buffer_->release(this->dst_line_bytes_);
    return released && committed;
}

template class VRX_ScaleWidthPPEEngine<unsigned char, double>;
template class VRX_ScaleWidthPPEEngine<unsigned short, double>;
template class VRX_ScaleWidthPPEEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleWidthPPEEngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
