#include "vrx/core/scale/vrx_scalewidthppengine.h"

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scalesupport.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleWidthPPEngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint32_t width) {
    if (!VRX_ScaleWidthEngine::initiate(header, src, dst, width)) return false;
    if (!is_supported_unsigned<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_ScaleWidthPPEngine::initiate()", __FILE__,
                         102);
        return false;
    }
    ratio_ = static_cast<double>(src_width_) / static_cast<double>(width);
    return true;
}

template class VRX_ScaleWidthPPEngine<unsigned char, double>;
template class VRX_ScaleWidthPPEngine<unsigned short, double>;
template class VRX_ScaleWidthPPEngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleWidthPPEngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
