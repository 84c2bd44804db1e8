#include "vrx/core/dib/vrx_writedib.h"

#include "vrx/core/dib/vrx_writedibraw.h"
#include "vrx/core/dib/vrx_writedibrawengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_WriteDIB::engine(VRX_Engine* input, VRX_OutputStorage* storage,
                                 const VRX_WriteDIBOption& option) {
    if (!input) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteDIB::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    if (option.compression != 0) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_WriteDIB::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    VRX_WriteDIBRaw raw(manager_);
    const VRX_Header* header = input->header();
    return raw.engine(header, input->src_buffer(), storage, option);
}

uint32_t VRX_WriteDIB::header_bytes(const VRX_Header* header, const VRX_WriteDIBOption& option) {
    if (!header) return 0;
    const uint64_t bytes = VRX_WriteDIBRawEngine::header_bytes(*header, option);
    return bytes <= 0x7FFFFFFF ? static_cast<uint32_t>(bytes) : 0;
}

uint32_t VRX_WriteDIB::total_bytes(const VRX_Header* header, const VRX_WriteDIBOption& option) {
    if (header_bytes(header, option) == 0) return 0;
    const platform::ByteCount total = VRX_WriteDIBRawEngine::bitmap_bytes(*header, option);
    return total.at_most(0x7FFFFFFF) ? static_cast<uint32_t>(total.value()) : 0;
}

}  // namespace vrx
