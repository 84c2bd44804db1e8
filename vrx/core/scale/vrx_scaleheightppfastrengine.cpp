#include "vrx/core/scale/vrx_scaleheightppfastrengine.h"

#include "vrx/core/scale/vrx_ppvector.h"
#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleHeightPPFastREngine<T, C>::terminate() {
    sums_.release(manager_);
    release_array(manager_, line_);
    return VRX_ScaleHeightEngine::terminate();
}

template <class T, class C>
bool VRX_ScaleHeightPPFastREngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                  VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightPPFastREngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 353)) return false;
    if (!VRX_ScaleHeightEngine::initiate(header, src, dst, height)) return false;
    if (!is_supported_unsigned<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 363);
        return false;
    }
    samples_ = line_bytes_ / sizeof(T);
    line_ = allocate_array<T>(manager_, samples_);
    return line_ && sums_.make(manager_, samples_, ratio_);
}

template <class T, class C>
bool VRX_ScaleHeightPPFastREngine<T, C>::execute() {
    if (produced_ >= dst_height_) return false;
    ++produced_;
    T* d = reinterpret_cast<T*>(dst_buffer_->get());
    if (!d) return false;
    if (!sums_.template line<projection::VectorLineKernels>(src_buffer_, line_, src_height_,
                                                            position_, consumed_, d))
        return false;
    return dst_buffer_->release(line_bytes_);
}

template class VRX_ScaleHeightPPFastREngine<unsigned char, double>;
template class VRX_ScaleHeightPPFastREngine<unsigned short, double>;
template class VRX_ScaleHeightPPFastREngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleHeightPPFastREngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
