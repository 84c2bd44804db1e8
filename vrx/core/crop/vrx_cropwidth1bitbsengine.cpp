#include "vrx/core/crop/vrx_cropwidth1bitbsengine.h"

#include <cstring>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_CropWidth1BitBSEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                         VRX_DstBuffer* dst, uint32_t x, uint32_t width) {
    constexpr const char* text = "VRX_CropWidth1BitBSEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 66)) return false;
    if (!VRX_CropWidth1BitEngine::initiate(header, src, dst, x, width)) return false;
    if (uint64_t{header->channels} * x % 8 != 0) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 76);
        return false;
    }
    return true;
}

bool VRX_CropWidth1BitBSEngine::process_line(const unsigned char* src, unsigned char* dst) {
    std::memcpy(dst, src + offset_, out_bytes_);
    dst[out_bytes_ - 1] &= tail_mask_;
    return true;
}

}  // namespace vrx
