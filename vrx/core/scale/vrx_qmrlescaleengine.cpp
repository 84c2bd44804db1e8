#include "vrx/core/scale/vrx_qmrlescaleengine.h"

#include "vrx/core/qmrle/vrx_qmrlebuffer.h"
#include "vrx/core/qmrle/vrx_qmrlerun.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_QMRLEScaleEngine::terminate() {
    VRX_QMRLEBuffer* buffer = buffer_;
    buffer_ = nullptr;
    const bool ended = vrx::destroy(buffer);
    return VRX_ProcessEngine::terminate() && ended;
}

bool VRX_QMRLEScaleEngine::check(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                                 uint32_t size, const char* text, const char* file,
                                 uint32_t size_line, uint32_t type_line) {
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (size == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, file, size_line);
        return false;
    }
    if (header->bits != 1 || header->channels != 1 ||
        header->encode_type() != VRX_EncodeType::qm_rle() || !header->data_type()->is_u_integer()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, file, type_line);
        return false;
    }
    return true;
}

bool VRX_QMRLEScaleEngine::open(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                                const char* text) {
    uint32_t bytes = 0;
    const bool sized = run_block_bytes(manager_, header->width, bytes, text, __FILE__, __LINE__) &&
                       dst->block_bytes(bytes);
    buffer_ = VRX_QMRLEBuffer::create(manager_, src, header);
    return sized && buffer_;
}

}  // namespace vrx
