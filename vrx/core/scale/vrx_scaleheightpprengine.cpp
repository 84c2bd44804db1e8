#include "vrx/core/scale/vrx_scaleheightpprengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleHeightPPREngine<T, C>::terminate() {
    sums_.release(this->manager_);
    return VRX_ScaleHeightPPEngine<T, C>::terminate();
}

template <class T, class C>
bool VRX_ScaleHeightPPREngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                              VRX_DstBuffer* dst, uint32_t height) {
    if (!this->check_version(VRX_INTERFACE_VERSION_BASE, "VRX_ScaleHeightPPREngine::initiate()",
                             __FILE__, 233))
        return false;
    if (!VRX_ScaleHeightPPEngine<T, C>::initiate(header, src, dst, height)) return false;
    return sums_.make(this->manager_, this->samples_, this->ratio_);
}

template <class T, class C>
bool VRX_ScaleHeightPPREngine<T, C>::execute() {
    if (this->produced_ >= this->dst_height_) return false;
    ++this->produced_;
    T* d = reinterpret_cast<T*>(this->dst_buffer_->get());
    if (!d) return false;
    if (!sums_.template line<projection::PlainLineKernels>(
            this->src_buffer_, this->line_, this->src_height_, this->position_, this->consumed_, d))
        return false;
    return this->dst_buffer_->release(this->line_bytes_);
}

template class VRX_ScaleHeightPPREngine<unsigned char, double>;
template class VRX_ScaleHeightPPREngine<unsigned short, double>;
template class VRX_ScaleHeightPPREngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleHeightPPREngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
