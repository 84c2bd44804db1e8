#include "vrx/core/operation/vrx_opnotengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_OpNotEngine::initiate()";
}

bool VRX_OpNotEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 47)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    const bool depth = header->bits == 1 || header->bits == 8 || header->bits == 16;
    if (!depth || !header->data_type()->is_u_integer() || !header->palette().empty()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 56);
        return false;
    }
    return header_.line_bytes(line_bytes_) && dst->block_bytes(line_bytes_);
}

bool VRX_OpNotEngine::process_line(const unsigned char* src, unsigned char* dst) {
    const unsigned char* __restrict in = src;
    unsigned char* __restrict out = dst;
    for (uint32_t i = 0; i < line_bytes_; ++i) out[i] = static_cast<unsigned char>(~in[i]);
    return true;
}

}  // namespace vrx
