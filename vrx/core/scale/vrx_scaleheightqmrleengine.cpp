#include "vrx/core/scale/vrx_scaleheightqmrleengine.h"

#include "vrx/core/qmrle/vrx_qmrlebuffer.h"
#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/core/scale/vrx_scalewidthqmrleengine.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ScaleHeightQMRLEEngine::terminate() {
    VRX_QMRLEBuffer* buffer = buffer_;
    buffer_ = nullptr;
    const bool ended = vrx::destroy(buffer);
    return VRX_ProcessEngine::terminate() && ended;
}

bool VRX_ScaleHeightQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                          VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightQMRLEEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 50)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (height == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 59);
        return false;
    }
    if (!is_qmrle_scale_input(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 65);
        return false;
    }
    ratio_ = static_cast<double>(header->height) / static_cast<double>(height);
    dst_height_ = height;
    src_height_ = header->height;
    header_.height = height;
    uint32_t bytes = 0;
    const bool sized = run_block_bytes(manager_, header->width, bytes, text, __FILE__, __LINE__) &&
                       dst->block_bytes(bytes);
    buffer_ = VRX_QMRLEBuffer::create(manager_, src, header);
    return sized && buffer_;
}

}  // namespace vrx
