#include "vrx/core/scale/vrx_scaleheightppengine.h"

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scalesupport.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleHeightPPEngine<T, C>::terminate() {
    release_array(manager_, line_);
    return VRX_ScaleHeightEngine::terminate();
}

template <class T, class C>
bool VRX_ScaleHeightPPEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst, uint32_t height) {
    if (!VRX_ScaleHeightEngine::initiate(header, src, dst, height)) return false;
    if (!is_supported_unsigned<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_ScaleHeightPPEngine::initiate()", __FILE__,
                         114);
        return false;
    }
    samples_ = line_bytes_ / sizeof(T);
    line_ = allocate_array<T>(manager_, samples_);
    return line_ != nullptr;
}

template class VRX_ScaleHeightPPEngine<unsigned char, double>;
template class VRX_ScaleHeightPPEngine<unsigned short, double>;
template class VRX_ScaleHeightPPEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleHeightPPEngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
