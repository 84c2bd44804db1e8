#include "vrx/core/scale/vrx_scalewidthqmrleengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ScaleWidthQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                         VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthQMRLEEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 49)) return false;
    if (!check(header, src, dst, width, text, __FILE__, 58, 64)) return false;
    ratio_ = static_cast<double>(width) / static_cast<double>(header->width);
    header_.width = width;
    line_count_ = header->height;
    return open(header, src, dst, text);
}

}  // namespace vrx
