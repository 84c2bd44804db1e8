#include "vrx/core/scale/vrx_scalewidthqmrleengine.h"

#include "vrx/core/qmrle/vrx_qmrlebuffer.h"
#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool is_qmrle_scale_input(const VRX_Header& h) {
    return h.bits == 1 && h.channels == 1 && h.encode_type() == VRX_EncodeType::qm_rle() &&
           h.data_type()->is_u_integer();
}

bool VRX_ScaleWidthQMRLEEngine::terminate() {
    VRX_QMRLEBuffer* buffer = buffer_;
    buffer_ = nullptr;
    const bool ended = vrx::destroy(buffer);
    return VRX_ProcessEngine::terminate() && ended;
}

bool VRX_ScaleWidthQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                         VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthQMRLEEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 49)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (width == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 58);
        return false;
    }
    if (!is_qmrle_scale_input(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 64);
        return false;
    }
    ratio_ = static_cast<double>(width) / static_cast<double>(header->width);
    header_.width = width;
    line_count_ = header->height;
    uint32_t bytes = 0;
    const bool sized = run_block_bytes(manager_, header->width, bytes, text, __FILE__, __LINE__) &&
                       dst->block_bytes(bytes);
    buffer_ = VRX_QMRLEBuffer::create(manager_, src, header);
    return sized && buffer_;
}

}  // namespace vrx
