#include "vrx/core/scale/vrx_scalewidthpprengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

template <class T, class C>
bool VRX_ScaleWidthPPREngine<T, C>::terminate() {
    table_.release(this->manager_);
    return VRX_ScaleWidthPPEngine<T, C>::terminate();
}

template <class T, class C>
bool VRX_ScaleWidthPPREngine<T, C>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst, uint32_t width) {
    if (!this->check_version(VRX_INTERFACE_VERSION_BASE, "VRX_ScaleWidthPPREngine::initiate()",
                             __FILE__, 300))
        return false;
    if (!VRX_ScaleWidthPPEngine<T, C>::initiate(header, src, dst, width)) return false;
    return table_.make(this->manager_, this->src_width_, width, this->channels_);
}

template <class T, class C>
bool VRX_ScaleWidthPPREngine<T, C>::execute() {
    return projection::reduce_one_line(table_, this->src_buffer_, this->dst_buffer_,
                                       this->dst_line_bytes_);
}

template class VRX_ScaleWidthPPREngine<unsigned char, double>;
template class VRX_ScaleWidthPPREngine<unsigned short, double>;
template class VRX_ScaleWidthPPREngine<unsigned char, VRX_FixedReal12>;
template class VRX_ScaleWidthPPREngine<unsigned short, VRX_FixedReal12>;

}  // namespace vrx
