#include "vrx/framework/manager/vrx_blockworkflow.h"

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/buffer/vrx_stblockdstbuffer.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/manager/vrx_relationforst.h"

namespace vrx {

VRX_DstBuffer* VRX_BlockWorkflow::new_dst_buffer() {
    if (is_error(manager_->status().code)) return nullptr;
    auto* proxy = construct<VRX_DstBufferProxy>(manager_);
    if (!proxy) return nullptr;
    if (!proxy->initiate()) {
        proxy->destroy();
        return nullptr;
    }
    proxy->set_initiated();
    return proxy;
}

VRX_DstBufferBase* VRX_BlockWorkflow::create_dst_buffer(VRX_Engine* engine) {
    const VRX_Header* header = engine ? engine->header() : nullptr;
    if (!header) return nullptr;
    uint32_t capacity = encoded_capacity;
    if (header->encode_type()->is_raw()) {
        const platform::ByteCount bytes =
            platform::packed_bytes(header->channels, header->bits, header->width) * header->height;
        if (!bytes.fits<uint32_t>() || bytes.value() == 0) {
            manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_BlockWorkflow::create_dst_buffer()",
                             __FILE__, __LINE__);
            return nullptr;
        }
        capacity = static_cast<uint32_t>(bytes.value());
    }
    auto* buffer = construct<VRX_STBlockDstBuffer>(manager_);
    if (!buffer) return nullptr;
    if (!buffer->initiate(capacity)) {
        buffer->destroy();
        return nullptr;
    }
    buffer->set_initiated();
    return buffer;
}

bool VRX_BlockWorkflow::run_engine(VRX_Engine* engine) {
    if (engine->execute()) return true;
    engine->destroy();
    return false;
}

VRX_Relation* VRX_BlockWorkflow::create_relation() {
    return construct<VRX_RelationForST>(manager_);
}

}  // namespace vrx
