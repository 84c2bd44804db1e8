#include "vrx/core/scale/vrx_scaleheightqmrleengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ScaleHeightQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                          VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightQMRLEEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 50)) return false;
    if (!check(header, src, dst, height, text, __FILE__, 59, 65)) return false;
    ratio_ = static_cast<double>(header->height) / static_cast<double>(height);
    dst_height_ = height;
    src_height_ = header->height;
    header_.height = height;
    return open(header, src, dst, text);
}

}  // namespace vrx
