#include "vrx/core/operation/vrx_oppixelsengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_OpPixelsEngine::initiate()";
}

bool VRX_OpPixelsEngine::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                  const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 50)) return false;
    if (!VRX_MultiInputProcessEngine::initiate(headers, sources, dst)) return false;
    const VRX_Header* base = header(0);
    const VRX_Header* operand = header(1);
    const bool supported =
        size() == 2 && base->color_type() == operand->color_type() &&
        base->bits == operand->bits && base->channels == operand->channels &&
        base->data_type() == operand->data_type() && base->encode_type()->is_raw() &&
        operand->encode_type()->is_raw() && base->palette().empty() && operand->palette().empty();
    if (!supported) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 59);
        return false;
    }
    uint32_t operand_line_bytes = 0;
    if (!base->line_bytes(base_line_bytes_) || !operand->line_bytes(operand_line_bytes) ||
        !dst->block_bytes(base_line_bytes_) || !src_buffer(0)->block_bytes(base_line_bytes_) ||
        !src_buffer(1)->block_bytes(operand_line_bytes)) {
        // Normally reported where it failed; the report here makes sure a
        // refused block size never passes for success.
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, __LINE__);
        return false;
    }
    return true;
}

unsigned char* VRX_OpPixelsEngine::begin_line() {
    unsigned char* block = dst_buffer_->get();
    if (!block) return nullptr;
    if (!src_buffer(0)->get(block)) {
        base_line_bytes_ = 0;
        dst_buffer_->release(0);
        ++line_;
        return nullptr;
    }
    return block;
}

bool VRX_OpPixelsEngine::end_line(bool ok) {
    ok = src_buffer(0)->release() && ok;
    ok = dst_buffer_->release(base_line_bytes_) && ok;
    ++line_;
    return ok;
}

}  // namespace vrx
