#include "vrx/core/scale/vrx_scalewidthppfastrengine.h"

#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/framework/base/vrx_version.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleWidthPPFastREngine<T, C>::terminate() {
    table_.release(manager_);
    return VRX_ScaleWidthEngine::terminate();
}

template <class T, class C>
bool VRX_ScaleWidthPPFastREngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                 VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthPPFastREngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION_BASE, text, __FILE__, 460)) return false;
    if (!VRX_ScaleWidthEngine::initiate(header, src, dst, width)) return false;
    if (!is_supported_unsigned<T>(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 471);
        return false;
    }
    return table_.make(manager_, src_width_, width, channels_);
}

template <class T, class C>
bool VRX_ScaleWidthPPFastREngine<T, C>::execute() {
    return projection::reduce_one_line(table_, src_buffer_, dst_buffer_, dst_line_bytes_);
}

template class VRX_ScaleWidthPPFastREngine<unsigned char, double>;
template class VRX_ScaleWidthPPFastREngine<unsigned short, double>;
template class VRX_ScaleWidthPPFastREngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleWidthPPFastREngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
